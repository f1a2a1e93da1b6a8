#ifndef ORV_TESTS_RENDER_ORVRENDERLINETESTSCENE_H
#define ORV_TESTS_RENDER_ORVRENDERLINETESTSCENE_H

// What the render line tests share: a real OpenGL window whose size is the display size, a
// surface size and aspect ratio of the test's choosing, an object manager that builds test
// quads, a parameter manager and a render line manager bound to the objects.
//
// Members are declared so that the window closes last; the context (with its textures) goes
// before it.

#include "animation/OrvParameterManager.h"
#include "base/OrvException.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvQuadTestObject.h"
#include "scene/OrvRenderLine.h"
#include "scene/OrvRenderLineManager.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"

#include <GL/glew.h>

#include <functional>
#include <string>
#include <vector>

class OrvRenderLineTestScene {
public:
    // dataFolder: where image files are looked for ("" for the working directory).
    OrvRenderLineTestScene(int windowWidth, int windowHeight, int surfaceWidth, int surfaceHeight,
                           double aspectRatio, const std::string& dataFolder = std::string())
        : window(windowWidth, windowHeight), context(dataFolder), objects(context.scene),
          parameters(context.diagnostics, context.run.Random()), lines(context.scene) {
        OrvDisplayFacts& display = context.run.Display();
        display.displayWidth = windowWidth;
        display.displayHeight = windowHeight;
        display.surfaceWidth = surfaceWidth;
        display.surfaceHeight = surfaceHeight;
        display.aspectRatio = aspectRatio;
        lines.Init(objects);
    }

    // A quad of that colour and zoom, switched on through the manager's parameter.
    OrvQuadTestObject* AddQuad(const std::string& name, float r, float g, float b, double zoom,
                               std::vector<OrvScriptNode> block = {}) {
        OrvScriptNode node = OrvTestNode(name, {"quad"}, block);
        OrvQuadTestObject* quad = OrvQuad(objects.LoadObject(node, parameters));
        quad->col.Set(r, g, b, 1);
        quad->zoom = zoom;
        objects.UpdateParameter(objects.ObjectCount() - 1, 1);
        return quad;
    }

    OrvRenderLine* AddLine(const std::string& name, std::vector<OrvScriptNode> keys = {}) {
        OrvScriptNode node = OrvTestNode(name, {}, keys);
        return lines.LoadRenderLine(node, parameters);
    }

    // The message LoadRenderLine raised for that line, or "(nothing raised)".
    std::string LineError(const std::string& name, std::vector<OrvScriptNode> keys) {
        try {
            AddLine(name, keys);
        } catch (const OrvException& error) {
            return error.Message();
        }
        return "(nothing raised)";
    }

    OrvGlTestWindow window;
    OrvTestContext context; // its textures go before the window closes
    OrvTestObjectManager objects;
    OrvParameterManager parameters;
    OrvRenderLineManager lines;
};

// Level 0 of a texture, bottom row first: RGBA bytes, or depth values.
inline OrvRgba OrvTexturePixel(unsigned texture, int x, int y) {
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<unsigned char> bytes(std::size_t(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::size_t at = (std::size_t(y) * w + x) * 4;
    return OrvRgba{bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]};
}

inline float OrvTextureDepth(unsigned texture, int x, int y) {
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<float> depths(std::size_t(w) * h);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    return depths[std::size_t(y) * w + x];
}

#endif
