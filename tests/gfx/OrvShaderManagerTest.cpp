// Finding, splitting and compiling shader files: names, combined files, messages.

#include "OrvShaderTestKit.h"

#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "gfx/OrvShaderCompileError.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

const OrvRgba Red{255, 0, 0, 255};
const OrvRgba Green{0, 255, 0, 255};

// Reaches the extension rule, which needs no OpenGL.
class ExposedShaderManager : public OrvShaderManager {
public:
    using OrvShaderManager::OrvShaderManager;
    Type TypeOf(std::string name) { return DefineType(name); }
    bool Exists(std::string name) { return FileExists(name); }
};

} // namespace

TEST(OrvShaderManager, ExtensionDecidesTheType) {
    OrvTestFolder folder;
    OrvDataFolder files(folder.Root() + "/data/");
    OrvDiagnostics diagnostics;
    ExposedShaderManager manager(files, diagnostics);
    EXPECT_EQ(OrvShaderManager::Vertex, manager.TypeOf("glow.vert"));
    EXPECT_EQ(OrvShaderManager::Fragment, manager.TypeOf("fx/glow.frag"));
    EXPECT_EQ(OrvShaderManager::Combined, manager.TypeOf("all.shader"));
    EXPECT_EQ(OrvShaderManager::Fragment, manager.TypeOf("a..frag")); // runs of stops are one
    EXPECT_EQ(OrvShaderManager::Fragment, manager.TypeOf("old.vert.frag"));
    EXPECT_EQ(OrvShaderManager::Undefined, manager.TypeOf("glow"));
    EXPECT_EQ(OrvShaderManager::Undefined, manager.TypeOf("fx.old"));
    EXPECT_EQ(OrvShaderManager::Undefined, manager.TypeOf("glow.FRAG")); // case-sensitive
    EXPECT_EQ(OrvShaderManager::Vertex, manager.TypeOf("glow.vert."));   // empty pieces dropped
    EXPECT_EQ(OrvShaderManager::Vertex, manager.TypeOf("vert"));         // the only piece
    EXPECT_EQ(OrvShaderManager::Undefined, manager.TypeOf("..."));       // no piece at all
    EXPECT_EQ(OrvShaderManager::Undefined, manager.TypeOf(""));

    folder.WriteData("there.frag", "x");
    mkdir(folder.DataPath("folder.frag").c_str(), 0755);
    EXPECT_TRUE(manager.Exists("there.frag"));
    EXPECT_FALSE(manager.Exists("missing.frag"));
    EXPECT_FALSE(manager.Exists("folder.frag"));
}

TEST(OrvShaderManager, CombinedFileSplitsIntoStagesAtSectionLines) {
    ORV_OPEN_SHADER_SCENE(scene);
    std::string stages =
        std::string("## vert\n") + OrvPassVertex + "##\tfrag  ignored words\n" + OrvGreenFragment;
    scene.folder.WriteData("two.shader", stages);
    // A blank line above the first section is layout; it must not become an empty stage.
    scene.folder.WriteData("blank.shader", "\n  \t\n" + stages);
    // So is a heading of line comments.
    scene.folder.WriteData("heading.shader", "// A heading\n  // of two lines\n\n" + stages);
    // Code above the first section line is a fragment stage of its own (a helper here).
    scene.folder.WriteData("helper.shader", "vec4 Shade() { return vec4(0.0, 1.0, 0.0, 1.0); }\n"
                                            "## vert\n" +
                                                std::string(OrvPassVertex) +
                                                "## frag\n"
                                                "vec4 Shade();\n"
                                                "void main() { gl_FragColor = Shade(); }\n");
    // "##" alone or glued to a word is source, so here it is a syntax error, not a section.
    scene.folder.WriteData("glued.shader", std::string("##vert\n") + OrvPassVertex);
    scene.folder.WriteData("alone.shader", std::string("##\n") + OrvRedFragment);
    // An unknown stage word gives a fragment stage; in a .frag file "##" lines are source.
    scene.folder.WriteData("geom.shader", std::string("## geom\n") + OrvGreenFragment);
    scene.folder.WriteData("hash.frag", std::string("## vert\n") + OrvRedFragment);
    // A section line straight after another leaves nothing to compile for the first.
    scene.folder.WriteData("twice.shader", std::string("## vert\n## frag\n") + OrvGreenFragment);

    const std::vector<GLint> vertexAndFragment{GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    for (const char* name : {"two.shader", "blank.shader", "heading.shader"}) {
        OrvShaderProgram program = scene.Load({name});
        ASSERT_NE(0u, program.Handle()) << name;
        EXPECT_EQ(vertexAndFragment, OrvAttachedShaderTypes(program.Handle())) << name;
        scene.DrawQuad(program.Handle());
        EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2)) << name;
    }
    OrvShaderProgram helper = scene.Load({"helper.shader"});
    ASSERT_NE(0u, helper.Handle());
    EXPECT_EQ((std::vector<GLint>{GL_FRAGMENT_SHADER, GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}),
              OrvAttachedShaderTypes(helper.Handle()));
    scene.DrawQuad(helper.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2));

    EXPECT_EQ(0u, scene.LoadError({"glued.shader"}).find("Shader compiling failed: 0:1("));
    EXPECT_EQ(0u, scene.LoadError({"alone.shader"}).find("Shader compiling failed: 0:1("));
    EXPECT_EQ(0u, scene.LoadError({"hash.frag"}).find("Shader compiling failed: 0:1("));
    OrvShaderProgram twice = scene.Load({"twice.shader"});
    ASSERT_NE(0u, twice.Handle());
    EXPECT_EQ(std::vector<GLint>{GL_FRAGMENT_SHADER}, OrvAttachedShaderTypes(twice.Handle()));
    scene.DrawQuad(twice.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2));
    OrvShaderProgram geom = scene.Load({"geom.shader"});
    EXPECT_EQ(std::vector<GLint>{GL_FRAGMENT_SHADER}, OrvAttachedShaderTypes(geom.Handle()));
    EXPECT_EQ("", scene.Log());
}

TEST(OrvShaderManager, BareNameLoadsWhicheverDerivedFilesExist) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("glow.vert", OrvPassVertex);
    scene.folder.WriteData("glow.frag", OrvRedFragment);
    scene.folder.WriteData("flat.frag", OrvGreenFragment);
    scene.folder.WriteData("fx.old.vert", OrvPassVertex); // "old" is no known extension
    scene.folder.WriteData("....frag", OrvRedFragment);   // "..." has no extension at all

    OrvShaderProgram both = scene.Load({"glow"});
    EXPECT_EQ((std::vector<GLint>{GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}),
              OrvAttachedShaderTypes(both.Handle()));
    scene.DrawQuad(both.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Red, 2));

    OrvShaderProgram fragmentOnly = scene.Load({"flat"});
    ASSERT_NE(0u, fragmentOnly.Handle());
    EXPECT_EQ(std::vector<GLint>{GL_FRAGMENT_SHADER},
              OrvAttachedShaderTypes(fragmentOnly.Handle()));
    scene.DrawQuad(fragmentOnly.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2));

    // Several names build one program, in order.
    OrvShaderProgram twoNames = scene.Load({"fx.old", "flat.frag"});
    EXPECT_EQ((std::vector<GLint>{GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}),
              OrvAttachedShaderTypes(twoNames.Handle()));
    OrvShaderProgram stops = scene.Load({"..."});
    EXPECT_EQ(std::vector<GLint>{GL_FRAGMENT_SHADER}, OrvAttachedShaderTypes(stops.Handle()));
    EXPECT_EQ("", scene.Log());
}

TEST(OrvShaderManager, MissingFilesRaiseTheirMessages) {
    ORV_OPEN_SHADER_SCENE(scene);
    mkdir(scene.folder.DataPath("folder.vert").c_str(), 0755);
    EXPECT_EQ("Could not open shader file missing.vert", scene.LoadError({"missing.vert"}));
    EXPECT_EQ("Could not open shader file missing.shader", scene.LoadError({"missing.shader"}));
    EXPECT_EQ("Could not open shader file folder.vert", scene.LoadError({"folder.vert"}));
    EXPECT_EQ("Could not open shader file glow.vert or glow.frag: "
              "Could not open shader file glow.vertCould not open shader file glow.frag",
              scene.LoadError({"glow"}));
    EXPECT_EQ("Could not open shader file ....vert or ....frag: "
              "Could not open shader file ....vertCould not open shader file ....frag",
              scene.LoadError({"..."}));
    // A later missing name ends the whole program.
    scene.folder.WriteData("flat.frag", OrvGreenFragment);
    EXPECT_EQ("Could not open shader file gone.frag", scene.LoadError({"flat.frag", "gone.frag"}));
    EXPECT_EQ("", scene.Log()); // raised, never logged here
}

TEST(OrvShaderManager, CompileFailureRaisesTheCompilersLog) {
    ORV_OPEN_SHADER_SCENE(scene);
    const std::string broken = "void main() {\n"
                               "    vec4 colour = vec4(1.0);\n"
                               "\n"
                               "    // the next line lacks an operand\n"
                               "    gl_FragColor = colour +;\n"
                               "}\n";
    scene.folder.WriteData("broken.frag", broken);
    std::string expected = "Shader compiling failed: " + OrvFragmentCompileLog(broken);
    ASSERT_NE(std::string::npos, expected.find("0:5(")) << expected; // Mesa: "0:5(28): error"
    EXPECT_EQ(expected, scene.LoadError({"broken.frag"}));

    // A derived file that exists but does not compile is never dropped for its partner.
    scene.folder.WriteData("glow.vert", OrvPassVertex);
    scene.folder.WriteData("glow.frag", broken);
    EXPECT_EQ(expected, scene.LoadError({"glow"}));
    scene.folder.WriteData("lone.frag", broken);
    EXPECT_EQ(expected, scene.LoadError({"lone"}));

    // In a combined file the log counts the lines of the file, section lines included.
    scene.folder.WriteData("stages.shader",
                           std::string("## vert\n") + OrvPassVertex + "## frag\n" + broken);
    std::string combined = scene.LoadError({"stages.shader"});
    EXPECT_EQ(0u, combined.find("Shader compiling failed: 0:11(")) << combined;
    EXPECT_EQ("", scene.Log());
}

TEST(OrvShaderManager, CompileErrorsCarryTheFileAndItsOwnLines) {
    ORV_OPEN_SHADER_SCENE(scene);
    // Errors on lines 3 and 5 of the stage.
    const std::string broken = "void main() {\n"
                               "    vec4 colour = vec4(1.0);\n"
                               "    colour.r = missing;\n"
                               "\n"
                               "    gl_FragColor = colour * unknown;\n"
                               "}\n";
    // What the compiler says about the stage on its own, line by line: where ("0:3(13)") and
    // what. Placed in a file with `offset` lines above the stage, each names its line + offset.
    const std::string log = OrvFragmentCompileLog(broken);
    auto placed = [&](const std::string& file, int offset) {
        std::vector<std::string> out{file};
        for (size_t at = 0, end; at < log.size(); at = end + 1) {
            end = log.find('\n', at);
            end = end == std::string::npos ? log.size() : end;
            int line = 0;
            int textAt = 0;
            if (std::sscanf(log.c_str() + at, "0:%d(%*d): %n", &line, &textAt) >= 1 && textAt > 0)
                out.push_back(file + ":" + std::to_string(line + offset) + ": " +
                              log.substr(at + textAt, end - at - textAt));
        }
        return out;
    };
    ASSERT_NE(std::string::npos, log.find("0:3(")) << log;
    ASSERT_NE(std::string::npos, log.find("0:5(")) << log;
    auto records = [&](const std::vector<std::string>& names) {
        std::vector<std::string> out;
        try {
            scene.Load(std::deque<std::string>(names.begin(), names.end()));
        } catch (const OrvShaderCompileError& error) {
            out.push_back(error.File());
            for (const OrvShaderLogTranslator::Record& record : error.Records())
                out.push_back(record.file + ":" + std::to_string(record.line) + ": " + record.text);
        }
        return out;
    };

    // A .frag file and the fragment file of a bare name map straight.
    scene.folder.WriteData("broken.frag", broken);
    EXPECT_EQ(placed("broken.frag", 0), records({"broken.frag"}));
    scene.folder.WriteData("glow.vert", OrvPassVertex);
    scene.folder.WriteData("glow.frag", broken);
    EXPECT_EQ(placed("glow.frag", 0), records({"glow"}));

    // In a combined file the fragment stage starts after a heading, the vertex section and
    // the section lines: its lines 3 and 5 are the file's lines 10 and 12.
    std::string combined = std::string("// sky\n## vert\n") + OrvPassVertex + "##  frag\n" + broken;
    scene.folder.WriteData("sky.shader", combined);
    EXPECT_EQ(placed("sky.shader", 7), records({"sky.shader"}));
    EXPECT_EQ("Shader compiling failed: " + OrvFragmentCompileLog(std::string(7, '\n') + broken),
              scene.LoadError({"sky.shader"})); // the raised text is the compiler's log

    // A vertex section with a #version line, after a fragment section that compiles.
    scene.folder.WriteData("late.shader", std::string("## frag\n") + OrvGreenFragment +
                                              "## vert\n"
                                              "#version 120\n"
                                              "void main() {\n"
                                              "    gl_Position = ftransform() + nothing;\n"
                                              "}\n");
    std::vector<std::string> late = records({"late.shader"});
    ASSERT_LE(2u, late.size());
    EXPECT_EQ("late.shader", late[0]);
    EXPECT_EQ(0u, late[1].find("late.shader:8: error: ")) << late[1];
}

TEST(OrvShaderManager, EveryLineKeepsItsLineBreak) {
    ORV_OPEN_SHADER_SCENE(scene);
    // A comment line no longer swallows the code after it.
    scene.folder.WriteData("comment.frag", "// paints the quad green\n"
                                           "void main() {\n"
                                           "    gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); // go\n"
                                           "}\n");
    // Preprocessor lines work, #version first of all, in a later stage of a combined file too.
    scene.folder.WriteData("versioned.shader", "## vert\n"
                                               "#version 120\n"
                                               "void main() { gl_Position = ftransform(); }\n"
                                               "## frag\n"
                                               "#version 120\n"
                                               "#define GREEN vec4(0.0, 1.0, 0.0, 1.0)\n"
                                               "void main() { gl_FragColor = GREEN; }\n");
    // A file written when lines ran together: statements split over lines, no comments,
    // Windows line ends, and no final line break.
    scene.folder.WriteData("old.frag", "uniform float level;\r\n"
                                       "void main()\r\n"
                                       "{ gl_FragColor = vec4(0.0,\r\n"
                                       "  1.0, 0.0,\r\n"
                                       "  1.0); }");
    // Lines of any length.
    std::string longLine = "    float g = 1.0";
    while (longLine.size() < 400)
        longLine += " * 1.0";
    scene.folder.WriteData("long.frag", "void main() {\n" + longLine +
                                            ";\n"
                                            "    gl_FragColor = vec4(0.0, g, 0.0, 1.0);\n"
                                            "}\n");

    for (const char* name : {"comment.frag", "versioned.shader", "old.frag", "long.frag"}) {
        OrvShaderProgram program = scene.Load({name});
        ASSERT_NE(0u, program.Handle()) << name;
        scene.DrawQuad(program.Handle());
        EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2)) << name;
    }
    EXPECT_EQ("", scene.Log());
}

TEST(OrvShaderManager, LinkFailureIsLoggedAndLoadingGoesOn) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("nomain.frag", "uniform float level;\n");
    scene.folder.WriteData("flat.frag", OrvGreenFragment);

    GLuint before = 0;
    OrvShaderProgram failed = scene.Load({"nomain.frag"});
    EXPECT_EQ(0u, failed.Handle());
    EXPECT_TRUE(failed.Variables().empty());
    EXPECT_EQ("Shader program linking failed:\n\nerror: fragment shader lacks `main'\n\n",
              scene.Log());
    EXPECT_TRUE(scene.context.diagnostics.HasError());
    glGetIntegerv(GL_CURRENT_PROGRAM, reinterpret_cast<GLint*>(&before));
    EXPECT_EQ(0u, before);

    // The next program loads as usual, and the failed one draws with the fixed pipeline.
    OrvShaderProgram next = scene.Load({"flat.frag"});
    ASSERT_NE(0u, next.Handle());
    scene.DrawQuad(next.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2));
    glColor3f(0, 0, 1);
    scene.DrawQuad(failed.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{0, 0, 255, 255}), 2));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST(OrvShaderManager, SameNamesLoadedTwiceGiveTwoIndependentPrograms) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("level.frag", "uniform float level;\n"
                                         "void main() { gl_FragColor = vec4(level); }\n");
    OrvShaderProgram first = scene.Load({"level.frag"});
    OrvShaderProgram second = scene.Load({"level.frag"});
    ASSERT_NE(0u, first.Handle());
    ASSERT_NE(0u, second.Handle());
    EXPECT_NE(first.Handle(), second.Handle()); // nothing is cached
    EXPECT_NE(OrvAttachedShaderTypes(first.Handle()).size(), 0u);

    first.FindVariable("level")->UpdateParameter(0, 1.0);
    first.UpdateUniforms();
    second.UpdateUniforms();
    float firstLevel = -1, secondLevel = -1;
    glGetUniformfv(first.Handle(), first.Variables()[0].Location(), &firstLevel);
    glGetUniformfv(second.Handle(), second.Variables()[0].Location(), &secondLevel);
    EXPECT_EQ(1.0f, firstLevel);
    EXPECT_EQ(0.0f, secondLevel);
}

TEST(OrvShaderManager, TwoShowsHaveTwoIndependentManagers) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("flat.frag", OrvGreenFragment);
    // A second scene context on the same data folder stands for a second show side by side
    // (a show and its reload).
    std::unique_ptr<OrvTestContext> other(new OrvTestContext(scene.folder.Root() + "/data/"));
    OrvShaderManager& second = other->scene.Shaders();
    ASSERT_NE(&scene.Shaders(), &second);

    std::deque<std::string> names{"flat.frag"};
    OrvShaderProgram mine = scene.Load({"flat.frag"});
    OrvShaderProgram theirs = second.LoadShaderProgram(names, OrvShaderManager::Auto);
    ASSERT_NE(0u, mine.Handle());
    ASSERT_NE(0u, theirs.Handle());
    EXPECT_NE(mine.Handle(), theirs.Handle());
    const int objects = scene.Shaders().ObjectCount();
    EXPECT_GT(objects, 0);
    EXPECT_EQ(objects, second.ObjectCount());

    // Releasing one show's programs leaves the other's alone.
    second.ReleaseAll();
    EXPECT_EQ(0, second.ObjectCount());
    EXPECT_FALSE(glIsProgram(theirs.Handle()));
    EXPECT_TRUE(glIsProgram(mine.Handle()));
    EXPECT_EQ(objects, scene.Shaders().ObjectCount());
    scene.DrawQuad(mine.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2));

    // And so does the end of the other show, with programs loaded again.
    OrvShaderProgram again = second.LoadShaderProgram(names, OrvShaderManager::Auto);
    ASSERT_NE(0u, again.Handle());
    EXPECT_TRUE(glIsProgram(again.Handle()));
    other.reset();
    EXPECT_FALSE(glIsProgram(again.Handle()));
    EXPECT_TRUE(glIsProgram(mine.Handle()));
    scene.DrawQuad(mine.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), Green, 2));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    EXPECT_EQ("", scene.Log());

    // Its own release deletes the programs of the first show too.
    const unsigned handle = mine.Handle();
    scene.Shaders().ReleaseAll();
    EXPECT_FALSE(glIsProgram(handle));
}
