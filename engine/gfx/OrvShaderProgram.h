#ifndef ORV_GFX_ORVSHADERPROGRAM_H
#define ORV_GFX_ORVSHADERPROGRAM_H

// A linked GLSL program and its active uniforms, exposed as parameter interfaces.
//
// - Link() links the program and, on success, records one OrvShaderVariable per active
//   uniform that has a location, in the order the linker reports them (built-in uniforms,
//   whose location is -1, are skipped; an array is kept as its first element, named as the
//   linker names it, e.g. "weights[0]"). On failure it reports "Shader program linking
//   failed:\n\n" + the linker's log at severity 1 and returns false; it raises nothing.
// - As a parameter interface it has no parameters of its own and one child per uniform,
//   with the empty name, so a float uniform "brightness" of a program registered as
//   "box.shaders[0]" is animated as "box.shaders[0].brightness".
// - UpdateUniforms() sends every uniform's values; it allocates nothing.
// - The engine's uniforms (OrvMusicUniforms: `float orvBands[16]`, `float orvLevel`, `float
//   orvOnset`, `float orvTime`, `float orvBeat`, `vec2 orvResolution`) are not parameters: a
//   program that declares them gets the values of the block its manager gave it
//   (SetMusicUniforms) at every UpdateUniforms, and orvResolution at every Use (the target
//   being drawn into). A program without them only compares locations with -1.
//
// Copies share the OpenGL program but each has its own uniform values. The child pointers
// that ChildParameterInterfaces hands out point into this object's own uniform list: they
// stay valid while this object lives and is not assigned to or moved.
//
// OpenGL state: Create, AttachShader and a failed Link change nothing current. A successful
// Link, UpdateUniforms and UnUse leave program 0 current; Use makes this one current.
// Nothing deletes the OpenGL program or its shaders: they end with the context.

#include "animation/OrvParameterInterface.h"
#include "gfx/OrvShaderVariable.h"

struct OrvMusicUniforms;

#include <string>
#include <vector>

class OrvDiagnostics;

class OrvShaderProgram : public OrvParameterInterface {
public:
    // Handle 0, no uniforms.
    OrvShaderProgram();

    // Creates the OpenGL program object and keeps its handle.
    void Create();
    void AttachShader(unsigned shader);
    // False when linking failed; the linker's log is then reported to `diagnostics`.
    bool Link(OrvDiagnostics& diagnostics);
    void Use();
    static void UnUse();
    void UpdateUniforms();
    // The block the music's uniforms are read from (borrowed; null: none are sent).
    void SetMusicUniforms(const OrvMusicUniforms* values) { music = values; }
    // Whether the program declares any of the music's uniforms.
    bool ReadsMusic() const {
        return bandsLocation >= 0 || levelLocation >= 0 || onsetLocation >= 0;
    }
    // The OpenGL program; 0 when it was never created or failed to link.
    unsigned Handle() const { return handle; }

    // The uniforms in link order; the references stay valid as the child pointers do.
    const std::vector<OrvShaderVariable>& Variables() const { return variables; }
    // The uniform of that name, or null. Loading-time lookup (a linear scan).
    OrvShaderVariable* FindVariable(const std::string& name);

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;
    ~OrvShaderProgram() override;

private:
    unsigned handle;
    std::vector<OrvShaderVariable> variables;
    const OrvMusicUniforms* music; // not owned
    int bandsLocation;
    int levelLocation;
    int onsetLocation;
    int timeLocation;
    int beatLocation;
    int resolutionLocation;
};

#endif
