#ifndef ORV_TESTS_RENDER_ORVSHADERTESTKIT_H
#define ORV_TESTS_RENDER_ORVSHADERTESTKIT_H

// What the shader tests share: a real window with a temporary data folder, loading programs
// by name through the shader manager, and looking at what OpenGL really holds.

#include "base/OrvException.h"
#include "gfx/OrvShaderManager.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"

#include <epoxy/gl.h>

#include <deque>
#include <string>
#include <vector>

// The window must exist before the folder's files are compiled; both live as long as the test.
// The test's own context reads the folder's data and owns the shader manager, whose programs
// go before the window does.
struct OrvShaderTestScene {
    OrvGlTestWindow window{64, 64};
    OrvTestFolder folder;
    OrvTestContext context{folder.Root() + "/data/"};

    OrvShaderManager& Shaders() { return context.scene.Shaders(); }
    const std::string& Log() const { return context.diagnostics.Text(); }
    OrvShaderProgram Load(std::deque<std::string> names) {
        return Shaders().LoadShaderProgram(names, OrvShaderManager::Auto);
    }
    // The raised text, or "" when loading went through.
    std::string LoadError(std::deque<std::string> names) {
        try {
            Load(names);
        } catch (const OrvException& error) {
            return error.Message();
        }
        return "";
    }
    // A full-window quad in pixel coordinates with the program current.
    void DrawQuad(unsigned program) {
        window.UsePixelProjection();
        window.Clear(0, 0, 0);
        glUseProgram(program);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(0, 0);
        glTexCoord2f(1, 0);
        glVertex2f(float(window.Width()), 0);
        glTexCoord2f(1, 1);
        glVertex2f(float(window.Width()), float(window.Height()));
        glTexCoord2f(0, 1);
        glVertex2f(0, float(window.Height()));
        glEnd();
        glUseProgram(0);
    }
    OrvRgba Centre() { return window.ReadPixel(window.Width() / 2, window.Height() / 2); }
};

// The types of the shader objects attached to a program, in attachment order.
inline std::vector<GLint> OrvAttachedShaderTypes(unsigned program) {
    GLint count = 0;
    glGetProgramiv(program, GL_ATTACHED_SHADERS, &count);
    std::vector<GLuint> shaders(count > 0 ? count : 1);
    glGetAttachedShaders(program, count, nullptr, shaders.data());
    std::vector<GLint> types;
    for (GLint i = 0; i < count; ++i) {
        GLint type = 0;
        glGetShaderiv(shaders[i], GL_SHADER_TYPE, &type);
        types.push_back(type);
    }
    return types;
}

// What this very compiler says about a fragment source handed over as one string: the
// reference for the log that a failed load must carry word for word.
inline std::string OrvFragmentCompileLog(const std::string& source) {
    GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const GLchar* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    char log[4096] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    glDeleteShader(shader);
    return log;
}

// GLSL 1.10 stages that work on every OpenGL 2.0 driver.
const char* const OrvPassVertex = "void main() {\n"
                                  "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                  "    gl_Position = ftransform();\n"
                                  "}\n";
const char* const OrvRedFragment = "void main() {\n"
                                   "    gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0);\n"
                                   "}\n";
const char* const OrvGreenFragment = "void main() {\n"
                                     "    gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0);\n"
                                     "}\n";

#define ORV_OPEN_SHADER_SCENE(scene)                                                               \
    ORV_SKIP_WITHOUT_DISPLAY();                                                                    \
    OrvShaderTestScene scene;                                                                      \
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error()

#endif
