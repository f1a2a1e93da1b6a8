#include "scene/OrvObjectEnviroment.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"

#include <epoxy/gl.h>

#include <cmath>
#include <cstdio>

OrvObjectEnviroment::OrvObjectEnviroment(OrvSceneContext& scene)
    : OrvObject(scene), lighting(false), fog(false), fogDensity(0.3f) {
    ambient.Set(0.2f, 0.2f, 0.2f, 1);
}

OrvObjectEnviroment::~OrvObjectEnviroment() {}

void OrvObjectEnviroment::DescribeParameters(OrvParameterTable& table) {
    table.Switch("lighting", lighting);
    table.TruncatedSwitch("fog", fog); // 0.7 is off
    table.Float("fogDensity", fogDensity);
}

void OrvObjectEnviroment::ChildParameterInterfaces(
    std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("ambient", &ambient));
    children.push_back(OrvParameterInterfaceChild("fogColor", &fogColor));
    for (std::size_t i = 0; i < lights.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "light[%d]", static_cast<int>(i));
        children.push_back(OrvParameterInterfaceChild(std::string(name), &lights[i]));
    }
}

void OrvObjectEnviroment::Init(OrvScriptNode&) {
    lighting = false;
    fog = false;
    fogDensity = 0.3f;
    ambient.Set(0.2f, 0.2f, 0.2f, 1);
    lights.clear();
    lights.reserve(kLightCount);
    for (int i = 0; i < kLightCount; ++i)
        lights.push_back(OrvLightSource(i));
}

void OrvObjectEnviroment::Draw(OrvDrawPass&) {
    if (lighting) {
        glEnable(GL_LIGHTING);
        for (OrvLightSource& light : lights)
            light.Use();
    } else {
        glDisable(GL_LIGHTING);
    }

    if (fog) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, GL_EXP2);
        GLfloat color[4] = {fogColor.r, fogColor.g, fogColor.b, fogColor.a};
        glFogfv(GL_FOG_COLOR, color);
        // OpenGL refuses a negative density and would keep the previous one.
        glFogf(GL_FOG_DENSITY, fogDensity >= 0.0f ? fogDensity : 0.0f);
        glHint(GL_FOG_HINT, GL_NICEST);
    } else {
        glDisable(GL_FOG);
    }
}

unsigned OrvObjectEnviroment::Flags() {
    return 1;
}
