#include "gfx/OrvShaderVariable.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"

#include <epoxy/gl.h>

#include <cmath>
#include <limits>

namespace {

// Uniform values arrive from the timeline as any double; a cast of NaN or of a value past
// the int range would be undefined, so those are pinned first.
int TruncateToInt(float value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0f)
        return std::numeric_limits<int>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace

OrvShaderVariable::OrvShaderVariable()
    : program(0), type(0), location(0), values{0.0f, 0.0f, 0.0f, 0.0f} {}

OrvShaderVariable::OrvShaderVariable(unsigned program, const char* name, unsigned type,
                                     int location)
    : name(name ? name : ""), program(program), type(type),
      location(location), values{0.0f, 0.0f, 0.0f, 0.0f} {
    NameComponents();
}

OrvShaderVariable::~OrvShaderVariable() {}

int OrvShaderVariable::ComponentCount() const {
    switch (type) {
    case GL_FLOAT:
    case GL_INT:
    case GL_BOOL:
    case GL_SAMPLER_1D:
    case GL_SAMPLER_2D:
    case GL_SAMPLER_3D:
    case GL_SAMPLER_CUBE:
    case GL_SAMPLER_1D_SHADOW:
    case GL_SAMPLER_2D_SHADOW:
        return 1;
    case GL_FLOAT_VEC2:
    case GL_INT_VEC2:
    case GL_BOOL_VEC2:
        return 2;
    case GL_FLOAT_VEC3:
    case GL_INT_VEC3:
    case GL_BOOL_VEC3:
        return 3;
    case GL_FLOAT_VEC4:
    case GL_INT_VEC4:
    case GL_BOOL_VEC4:
        return 4;
    default:
        return 0;
    }
}

void OrvShaderVariable::NameComponents() {
    int count = ComponentCount();
    for (int i = 0; i < count; ++i)
        componentNames[i] = count == 1 ? name : name + "." + std::to_string(i);
}

void OrvShaderVariable::DescribeParameters(OrvParameterTable& table) {
    int count = ComponentCount();
    for (int i = 0; i < count; ++i)
        table.Float(componentNames[i].c_str(), values[i]);
}

void OrvShaderVariable::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>&) {}

float OrvShaderVariable::Value(int index) const {
    if (index < 0 || index > 3)
        return 0.0f;
    return values[index];
}

void OrvShaderVariable::UpdateShader() {
    switch (type) {
    case GL_FLOAT:
    case GL_BOOL: // OpenGL sets a bool from a float: 0 is false, anything else true
        glUniform1f(location, values[0]);
        break;
    case GL_INT:
    case GL_SAMPLER_1D:
    case GL_SAMPLER_2D:
    case GL_SAMPLER_3D:
    case GL_SAMPLER_CUBE:
    case GL_SAMPLER_1D_SHADOW:
    case GL_SAMPLER_2D_SHADOW:
        glUniform1i(location, TruncateToInt(values[0]));
        break;
    case GL_FLOAT_VEC2:
    case GL_BOOL_VEC2:
        glUniform2f(location, values[0], values[1]);
        break;
    case GL_FLOAT_VEC3:
    case GL_BOOL_VEC3:
        glUniform3f(location, values[0], values[1], values[2]);
        break;
    case GL_FLOAT_VEC4:
    case GL_BOOL_VEC4:
        glUniform4f(location, values[0], values[1], values[2], values[3]);
        break;
    case GL_INT_VEC2:
        glUniform2i(location, TruncateToInt(values[0]), TruncateToInt(values[1]));
        break;
    case GL_INT_VEC3:
        glUniform3i(location, TruncateToInt(values[0]), TruncateToInt(values[1]),
                    TruncateToInt(values[2]));
        break;
    case GL_INT_VEC4:
        glUniform4i(location, TruncateToInt(values[0]), TruncateToInt(values[1]),
                    TruncateToInt(values[2]), TruncateToInt(values[3]));
        break;
    default: // matrices and other kinds have no animatable values
        break;
    }
}
