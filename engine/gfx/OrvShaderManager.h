#ifndef ORV_GFX_ORVSHADERMANAGER_H
#define ORV_GFX_ORVSHADERMANAGER_H

// Builds shader programs from GLSL files of the show's data folder.
//
// What a name stands for (its extension is the last piece of the name split at full stops,
// runs of full stops counting as one; exact and case-sensitive):
// - "x.vert": that file, a vertex stage; "x.frag": that file, a fragment stage;
// - "x.shader": a combined file, split into stages at section lines (below);
// - anything else, a name made only of full stops included ("glow", "fx.old", "..."): the
//   two files name + ".vert" (vertex) and name + ".frag" (fragment). A derived file that does
//   not exist is skipped, but at least one of the two must exist.
//
// Source rules:
// - Every line goes to the compiler as one source string that ends with its line break, so
//   "//" comments end at the end of their line, preprocessor lines (#version, #define) work,
//   and compiler logs give the line numbers of the file, in combined files too (a later
//   stage is preceded by blank lines standing for the lines above it, which GLSL allows even
//   before #version). Lines may be of any length; a NUL byte ends its line's text.
// - In a combined file a section line is one whose first word (words split at spaces and
//   tabs) is exactly "##" and that has a second word; the second word names the stage that
//   follows by the extension rule: "vert" a vertex stage, anything else a fragment stage.
//   Further words are ignored; "##" alone, or not standing as a word of its own, is source.
//   The section line itself is not compiled (it counts for line numbers). Lines before the
//   first section line form a fragment stage of their own, unless they are all blank
//   (spaces and tabs only): an empty shader is refused by some compilers (Mesa's), and a
//   blank line at the top of a file must not break it.
// - In ".vert" and ".frag" files "##" lines are plain source.
//
// Errors are raised as OrvException:
// - "Could not open shader file " + name: a ".vert", ".frag" or ".shader" file can't be read;
// - "Could not open shader file " + name + ".vert or " + name + ".frag: " followed by the
//   two individual "Could not open shader file ..." texts, one straight after the other:
//   neither derived file of a bare name exists;
// - "Shader compiling failed: " + the compiler's log: a stage that exists failed to compile
//   (a derived file too: a broken stage is never dropped silently). It is raised as an
//   OrvShaderCompileError, which also carries the file's name and the log's lines placed in
//   that file: the stage's lines are mapped back to the file's as they are split from it.
// A program that fails to link is reported, not raised (see OrvShaderProgram::Link), and
// comes back with handle 0 and no uniforms; loading goes on.
//
// The manager caches nothing: loading the same names twice compiles them twice and gives two
// independent programs. It owns every shader and program object it creates (the programs it
// hands out share their handle with it): ReleaseAll() deletes them all, and so does the
// destructor; afterwards those programs must not be used. Each show owns one manager, so two
// shows side by side (a reload) share nothing. The data folder and the diagnostics (where a
// link failure is reported) are borrowed. A current OpenGL context is needed for every load
// and for ReleaseAll (without one, the objects ended with their context).

#include "gfx/OrvMusicUniforms.h"
#include "gfx/OrvShaderProgram.h"

#include <deque>
#include <string>
#include <vector>

class OrvDataFolder;
class OrvDiagnostics;

class OrvShaderManager {
public:
    // The values are fixed: callers pass them.
    enum Type { Undefined = 0, Vertex = 1, Fragment = 2, Combined = 3, Auto = 4 };

    OrvShaderManager(const OrvDataFolder& files, OrvDiagnostics& diagnostics);
    ~OrvShaderManager();

    // A program from the names, in order, each loaded with LoadShader(type); callers pass
    // Auto. Errors raised while loading propagate (the program is then abandoned).
    OrvShaderProgram LoadShaderProgram(std::deque<std::string>& names, Type type);
    // Compiles the stage or stages that the name stands for and attaches them to the program.
    // Auto decides from the name; Combined honours section lines; Undefined loads the two
    // derived files; Vertex and Fragment compile the one file as that stage.
    void LoadShader(OrvShaderProgram& program, std::string& name, Type type);

    // A program of the engine's own, from a vertex and a fragment stage's source text (lines
    // split at line feeds), kept and released with the others. `name` names it in messages.
    // Raises OrvShaderCompileError when a stage does not compile; a link failure is reported
    // and gives a program of handle 0.
    OrvShaderProgram BuildProgram(const std::string& name, const std::string& vertexSource,
                                  const std::string& fragmentSource);

    // The music's values every program made here reads (OrvShaderProgram::SetMusicUniforms);
    // the show fills them once per frame. Lives as long as the manager.
    OrvMusicUniforms& MusicUniforms() { return musicUniforms; }

    // Deletes every shader and program object made since the last release.
    void ReleaseAll();
    // How many shader and program objects the manager holds.
    int ObjectCount() const { return static_cast<int>(shaders.size() + programs.size()); }

protected:
    // The type the name's extension gives; Undefined for no known extension.
    Type DefineType(std::string& name);
    // One shader object from lines of the file `name` given without line breaks: a vertex
    // shader for Vertex, a fragment shader for every other type. `fileLines` holds the file
    // line each of them came from (0 for none). Raises OrvShaderCompileError, whose message
    // is "Shader compiling failed: " + log.
    unsigned CreateShader(const std::string& name, std::deque<std::string>& lines,
                          const std::vector<int>& fileLines, Type type);
    // True when the data-folder file can be opened for reading.
    bool FileExists(std::string& name);

private:
    OrvShaderManager(const OrvShaderManager&) = delete;
    OrvShaderManager& operator=(const OrvShaderManager&) = delete;

    // Compiles the file's stage(s) into the program; false when the file can't be read.
    bool LoadFile(OrvShaderProgram& program, const std::string& name, Type type, bool sections);
    // Both derived files of a name without a known extension.
    void LoadDerivedFiles(OrvShaderProgram& program, const std::string& name);
    // Compiles the collected lines of the file and attaches the shader; empties both lists.
    void AttachStage(OrvShaderProgram& program, const std::string& name,
                     std::deque<std::string>& lines, std::vector<int>& fileLines, Type type);

    const OrvDataFolder& files;
    OrvDiagnostics& diagnostics;
    std::vector<unsigned> shaders;
    std::vector<unsigned> programs;
    OrvMusicUniforms musicUniforms;
};

#endif
