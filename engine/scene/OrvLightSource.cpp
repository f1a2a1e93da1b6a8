#include "scene/OrvLightSource.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"

#include <epoxy/gl.h>

namespace {

// OpenGL refuses a cutoff outside 0..90 that is not 180, and would keep the old one.
float SendableCutoff(float cutoff) {
    if (cutoff >= 0.0f && cutoff <= 90.0f)
        return cutoff;
    if (cutoff < 0.0f)
        return 0.0f;
    if (cutoff > 90.0f && cutoff < 180.0f)
        return 90.0f;
    return 180.0f; // above 180, or NaN: an ordinary point light
}

float SendableExponent(float exponent) {
    if (!(exponent >= 0.0f))
        return 0.0f;
    return exponent > 128.0f ? 128.0f : exponent;
}

float SendableAttenuation(float attenuation) {
    return attenuation >= 0.0f ? attenuation : 0.0f;
}

void SendColor(GLenum light, GLenum name, const OrvColorParameter& color) {
    GLfloat values[4] = {color.r, color.g, color.b, color.a};
    glLightfv(light, name, values);
}

} // namespace

OrvLightSource::OrvLightSource(int index)
    : positionW(0), spotExponent(0), spotCutoff(180), constantAttenuation(1), linearAttenuation(0),
      quadraticAttenuation(0), enabled(false), lightIndex(index) {
    ambient.Set(0, 0, 0, 1);
    // Only the first light is white: enabling any other adds nothing until it gets colours.
    if (index == 0) {
        diffuse.Set(1, 1, 1, 1);
        specular.Set(1, 1, 1, 1);
    } else {
        diffuse.Set(0, 0, 0, 1);
        specular.Set(0, 0, 0, 1);
    }
    position.vector.Set(0, 0, 1);
    spotDirection.vector.Set(0, 0, -1);
}

void OrvLightSource::Use() {
    GLenum light = GL_LIGHT0 + lightIndex;
    if (!enabled) {
        glDisable(light);
        return;
    }
    glEnable(light);
    SendColor(light, GL_AMBIENT, ambient);
    SendColor(light, GL_DIFFUSE, diffuse);
    SendColor(light, GL_SPECULAR, specular);
    const OrvVector3& p = position.vector;
    GLfloat place[4] = {static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y),
                        static_cast<GLfloat>(p.z), positionW};
    glLightfv(light, GL_POSITION, place);
    glLightf(light, GL_SPOT_CUTOFF, SendableCutoff(spotCutoff));
    // A plain point light leaves the spot direction and exponent as they were.
    if (spotCutoff != 180.0f) {
        const OrvVector3& d = spotDirection.vector;
        GLfloat direction[3] = {static_cast<GLfloat>(d.x), static_cast<GLfloat>(d.y),
                                static_cast<GLfloat>(d.z)};
        glLightfv(light, GL_SPOT_DIRECTION, direction);
        glLightf(light, GL_SPOT_EXPONENT, SendableExponent(spotExponent));
    }
    glLightf(light, GL_CONSTANT_ATTENUATION, SendableAttenuation(constantAttenuation));
    glLightf(light, GL_LINEAR_ATTENUATION, SendableAttenuation(linearAttenuation));
    glLightf(light, GL_QUADRATIC_ATTENUATION, SendableAttenuation(quadraticAttenuation));
}

void OrvLightSource::DescribeParameters(OrvParameterTable& table) {
    if (table.Custom("enable", enabled ? 1.0 : 0.0)) {
        // "pos.w" is registered after "enable", so an animated w overrides this each frame.
        float v = static_cast<float>(table.Value());
        enabled = v != 0.0f;
        positionW = v;
    }
    table.Float("pos.w", positionW);
    table.Float("spotExp", spotExponent);
    table.Float("spotCutoff", spotCutoff);
    table.Float("att.const", constantAttenuation);
    table.Float("att.linear", linearAttenuation);
    table.Float("att.quad", quadraticAttenuation);
}

void OrvLightSource::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("ambient", &ambient));
    children.push_back(OrvParameterInterfaceChild("diffuse", &diffuse));
    children.push_back(OrvParameterInterfaceChild("specular", &specular));
    children.push_back(OrvParameterInterfaceChild("position", &position));
    children.push_back(OrvParameterInterfaceChild("spotDir", &spotDirection));
}
