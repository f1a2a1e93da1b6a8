#include "gfx/OrvShaderManager.h"

#include "gfx/OrvGlState.h"

#include "base/OrvDataFolder.h"
#include "base/OrvException.h"
#include "gfx/OrvShaderCompileError.h"
#include "gfx/OrvShaderLogTranslator.h"
#include "gfx/OrvShaderSourceFile.h"
#include "script/OrvStringUtils.h"

#include <epoxy/gl.h>

#include <vector>

namespace {

std::string CouldNotOpen(const std::string& name) {
    return "Could not open shader file " + name;
}

// True for a section line, with the word that follows "##".
bool SectionWord(const std::string& line, std::string& word) {
    std::deque<std::string> words = OrvStringUtils::Split(line, " \t\n");
    if (words.size() < 2 || words[0] != "##")
        return false;
    word = words[1];
    return true;
}

// Lines with nothing for a compiler: white space, or a line comment such as a file's
// heading above its first section.
bool Blank(const std::deque<std::string>& lines) {
    for (const std::string& line : lines) {
        std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line.compare(first, 2, "//") != 0)
            return false;
    }
    return true;
}

} // namespace

OrvShaderManager::OrvShaderManager(const OrvDataFolder& files, OrvDiagnostics& diagnostics)
    : files(files), diagnostics(diagnostics) {}

OrvShaderManager::~OrvShaderManager() {
    ReleaseAll();
}

void OrvShaderManager::ReleaseAll() {
    // Without a context the objects are gone already. Programs first: a shader still
    // attached to a program would only be marked for deletion.
    if (OrvGlState::HasCurrentContext()) {
        for (unsigned program : programs)
            if (program != 0)
                glDeleteProgram(program);
        for (unsigned shader : shaders)
            if (shader != 0)
                glDeleteShader(shader);
    }
    programs.clear();
    shaders.clear();
}

OrvShaderProgram OrvShaderManager::LoadShaderProgram(std::deque<std::string>& names, Type type) {
    OrvShaderProgram program;
    program.Create();
    programs.push_back(program.Handle());
    for (std::string& name : names)
        LoadShader(program, name, type);
    if (!program.Link(diagnostics))
        return OrvShaderProgram(); // reported; the object draws with the fixed pipeline
    program.SetMusicUniforms(&musicUniforms);
    return program;
}

OrvShaderProgram OrvShaderManager::BuildProgram(const std::string& name,
                                                const std::string& vertexSource,
                                                const std::string& fragmentSource) {
    OrvShaderProgram program;
    program.Create();
    programs.push_back(program.Handle());
    for (Type type : {Vertex, Fragment}) {
        const std::string& source = type == Vertex ? vertexSource : fragmentSource;
        std::deque<std::string> lines = OrvStringUtils::Split(source, "\n");
        std::vector<int> fileLines(lines.size(), 0);
        program.AttachShader(CreateShader(name, lines, fileLines, type));
    }
    if (!program.Link(diagnostics))
        return OrvShaderProgram();
    return program;
}

void OrvShaderManager::LoadShader(OrvShaderProgram& program, std::string& name, Type type) {
    if (type == Auto)
        type = DefineType(name);
    if (type == Undefined) {
        LoadDerivedFiles(program, name);
        return;
    }
    if (!LoadFile(program, name, type, type == Combined))
        throw OrvException(CouldNotOpen(name));
}

void OrvShaderManager::LoadDerivedFiles(OrvShaderProgram& program, const std::string& name) {
    // Only a missing file is forgiven; a file that is there and does not compile raises.
    std::string collected;
    bool vertex = LoadFile(program, name + ".vert", Vertex, false);
    if (!vertex)
        collected += CouldNotOpen(name + ".vert");
    bool fragment = LoadFile(program, name + ".frag", Fragment, false);
    if (!fragment)
        collected += CouldNotOpen(name + ".frag");
    if (!vertex && !fragment)
        throw OrvException(CouldNotOpen(name) + ".vert or " + name + ".frag: " + collected);
}

bool OrvShaderManager::LoadFile(OrvShaderProgram& program, const std::string& name, Type type,
                                bool sections) {
    std::deque<std::string> file;
    if (!OrvShaderSourceFile::ReadLines(files.Path(name), file))
        return false;

    std::deque<std::string> stage;
    // The file line each line of the stage came from, for placing the compiler's messages.
    std::vector<int> fileLines;
    std::string word;
    bool leading = true;
    std::size_t padding = 0; // blank lines at the head of the stage that stand for earlier ones
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (sections && SectionWord(file[i], word)) {
            // A stage holds lines of its own only past its padding: two section lines in a row
            // leave nothing to compile. Blank and comment lines above the first section line
            // are layout, not a stage: compiling them would fail on compilers that refuse an
            // empty shader.
            if (stage.size() > padding && !(leading && Blank(stage)))
                AttachStage(program, name, stage, fileLines, type);
            leading = false;
            type = DefineType(word);
            // Blank lines stand for everything up to and including the section line, so the
            // compiler counts the lines of the file. They are none of the stage's own: a
            // message about one of them names no line of the file.
            padding = i + 1;
            stage.assign(padding, std::string());
            fileLines.assign(padding, 0);
            continue;
        }
        stage.push_back(file[i]);
        fileLines.push_back(static_cast<int>(i + 1));
    }
    AttachStage(program, name, stage, fileLines, type);
    return true;
}

void OrvShaderManager::AttachStage(OrvShaderProgram& program, const std::string& name,
                                   std::deque<std::string>& lines, std::vector<int>& fileLines,
                                   Type type) {
    program.AttachShader(CreateShader(name, lines, fileLines, type));
    lines.clear();
    fileLines.clear();
}

OrvShaderManager::Type OrvShaderManager::DefineType(std::string& name) {
    std::deque<std::string> pieces = OrvStringUtils::Split(name, ".");
    if (pieces.empty()) // a name of full stops only has no extension
        return Undefined;
    const std::string& extension = pieces.back();
    if (extension == "shader")
        return Combined;
    if (extension == "frag")
        return Fragment;
    if (extension == "vert")
        return Vertex;
    return Undefined;
}

unsigned OrvShaderManager::CreateShader(const std::string& name, std::deque<std::string>& lines,
                                        const std::vector<int>& fileLines, Type type) {
    // Each line keeps its own break: without it GLSL would run all lines together, so one
    // "//" would swallow the rest of the file and no preprocessor line could be written.
    std::vector<std::string> source;
    source.reserve(lines.size());
    for (const std::string& line : lines)
        source.push_back(std::string(line.c_str()) + "\n");
    std::vector<const GLchar*> strings;
    strings.reserve(source.size());
    for (const std::string& line : source)
        strings.push_back(line.c_str());

    GLuint shader = glCreateShader(type == Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    shaders.push_back(shader);
    glShaderSource(shader, static_cast<GLsizei>(strings.size()), strings.data(), nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return shader;

    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log;
    if (length > 0) {
        std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
        glGetShaderInfoLog(shader, length, nullptr, text.data());
        log = text.data();
    }
    throw OrvShaderCompileError(log, name, OrvShaderLogTranslator(name, fileLines).Translate(log));
}

bool OrvShaderManager::FileExists(std::string& name) {
    return OrvShaderSourceFile::CanOpen(files.Path(name));
}
