#ifndef ORV_GFX_ORVSHADERVARIABLE_H
#define ORV_GFX_ORVSHADERVARIABLE_H

// One active uniform of a linked shader program, animatable as parameters.
//
// Parameters by the uniform's GL type (u is the uniform's name as the linker reports it):
// - float, int, bool and the six classic samplers (1D, 2D, 3D, cube, 1D and 2D shadow): "u";
// - two-, three- and four-component float, int and bool vectors: "u.0" to "u.1", "u.2", "u.3";
// - anything else (matrices, other sampler kinds): no parameters, and nothing is uploaded.
// The four values start at 0; UpdateParameter stores a value (as float) only for an index
// that ParameterName named, so a vec2 ignores index 2.
//
// UpdateShader() sends the values to the CURRENT program at the stored location: floats and
// bools (scalar or vector) with glUniform*f, ints, int vectors and samplers with glUniform*i
// of the values truncated toward zero (clamped to the int range, NaN as 0). A sampler's value
// is the texture unit it reads, so 1.9 selects unit 1. It allocates nothing and builds no
// strings: it runs every frame.
//
// A plain value: copies are independent sets of values for the same OpenGL uniform. Owns no
// OpenGL object. Needs a current context only for UpdateShader.

#include "animation/OrvParameterInterface.h"

#include <string>
#include <vector>

class OrvShaderVariable : public OrvParameterInterface {
public:
    // Empty name, program 0, type 0, location 0, values 0.
    OrvShaderVariable();
    // A null name counts as the empty name. Values 0.
    OrvShaderVariable(unsigned program, const char* name, unsigned type, int location);

    void UpdateShader();

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;
    ~OrvShaderVariable() override;

    const std::string& Name() const { return name; }
    unsigned Program() const { return program; }
    unsigned Type() const { return type; }
    int Location() const { return location; }
    // Value i (0 to 3) as stored; 0 for any other i.
    float Value(int index) const;
    // How many parameters the type gives: 0 to 4.
    int ComponentCount() const;

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    void NameComponents();

    std::string name;
    // The parameter names, made once: a scalar is animated under the uniform's own name, a
    // vector per component ("u.0", "u.1", ...).
    std::string componentNames[4];
    unsigned program;
    unsigned type;
    int location;
    float values[4];
};

#endif
