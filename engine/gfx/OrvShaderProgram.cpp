#include "gfx/OrvShaderProgram.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "base/OrvDiagnostics.h"
#include "gfx/OrvMusicUniforms.h"

#include <epoxy/gl.h>

namespace {
// The music's uniforms are the engine's to set, so they are not offered as parameters.
bool IsMusicUniform(const char* name) {
    std::string text = name;
    return text == "orvLevel" || text == "orvOnset" || text.compare(0, 9, "orvBands[") == 0 ||
           text == "orvBands" || text == "orvTime" || text == "orvBeat" || text == "orvResolution";
}
} // namespace

OrvShaderProgram::OrvShaderProgram()
    : handle(0), music(nullptr), bandsLocation(-1), levelLocation(-1), onsetLocation(-1),
      timeLocation(-1), beatLocation(-1), resolutionLocation(-1) {}

OrvShaderProgram::~OrvShaderProgram() {}

void OrvShaderProgram::Create() {
    handle = glCreateProgram();
}

void OrvShaderProgram::AttachShader(unsigned shader) {
    glAttachShader(handle, shader);
}

bool OrvShaderProgram::Link(OrvDiagnostics& diagnostics) {
    // A program that was never created has nothing to link; asking OpenGL about program 0
    // would only leave an error flag behind for whoever checks next.
    GLint status = GL_FALSE;
    if (handle != 0) {
        glLinkProgram(handle);
        glGetProgramiv(handle, GL_LINK_STATUS, &status);
    }
    if (status != GL_TRUE) {
        GLint length = 0;
        if (handle != 0)
            glGetProgramiv(handle, GL_INFO_LOG_LENGTH, &length);
        std::string log;
        if (length > 0) {
            std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
            glGetProgramInfoLog(handle, length, nullptr, text.data());
            log = text.data();
        }
        diagnostics.Report(1, "Shader program linking failed:\n\n" + log);
        return false;
    }

    glUseProgram(handle);
    GLint count = 0;
    GLint maxLength = 0;
    glGetProgramiv(handle, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(handle, GL_ACTIVE_UNIFORM_MAX_LENGTH, &maxLength);
    std::vector<char> name(static_cast<std::size_t>(maxLength > 0 ? maxLength : 1) + 1, '\0');
    variables.clear();
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        name[0] = '\0';
        glGetActiveUniform(handle, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()),
                           nullptr, &size, &type, name.data());
        GLint location = glGetUniformLocation(handle, name.data());
        if (location >= 0 && !IsMusicUniform(name.data()))
            variables.push_back(OrvShaderVariable(handle, name.data(), type, location));
    }
    bandsLocation = glGetUniformLocation(handle, "orvBands");
    levelLocation = glGetUniformLocation(handle, "orvLevel");
    onsetLocation = glGetUniformLocation(handle, "orvOnset");
    timeLocation = glGetUniformLocation(handle, "orvTime");
    beatLocation = glGetUniformLocation(handle, "orvBeat");
    resolutionLocation = glGetUniformLocation(handle, "orvResolution");
    glUseProgram(0);
    return true;
}

void OrvShaderProgram::Use() {
    glUseProgram(handle);
    // The target's size is the pass's, known only now: an object may draw into several.
    if (music && resolutionLocation >= 0)
        glUniform2f(resolutionLocation, music->resolution[0], music->resolution[1]);
}

void OrvShaderProgram::UnUse() {
    glUseProgram(0);
}

void OrvShaderProgram::UpdateUniforms() {
    glUseProgram(handle);
    for (OrvShaderVariable& variable : variables)
        variable.UpdateShader();
    if (music) {
        if (bandsLocation >= 0)
            glUniform1fv(bandsLocation, OrvMusicUniforms::BandCount, music->bands);
        if (levelLocation >= 0)
            glUniform1f(levelLocation, music->level);
        if (onsetLocation >= 0)
            glUniform1f(onsetLocation, music->onset);
        if (timeLocation >= 0)
            glUniform1f(timeLocation, music->time);
        if (beatLocation >= 0)
            glUniform1f(beatLocation, music->beat);
    }
    glUseProgram(0);
}

OrvShaderVariable* OrvShaderProgram::FindVariable(const std::string& name) {
    for (OrvShaderVariable& variable : variables)
        if (variable.Name() == name)
            return &variable;
    return nullptr;
}

void OrvShaderProgram::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    for (OrvShaderVariable& variable : variables)
        children.push_back(OrvParameterInterfaceChild("", &variable));
}
