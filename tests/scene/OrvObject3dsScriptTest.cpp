// 3DS models as a script declares them: parameter names, block keys, messages, the material's
// OpenGL state, and the shared test models of other tools drawn through a camera.

#include "scene/Orv3dsFileReader.h"
#include "scene/OrvObject3ds.h"

#include "support/Orv3dsTestModel.h"

#include "OrvObjectImageTestScene.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <string>
#include <vector>

namespace {

Orv3dsTestModel TwoMeshes() {
    Orv3dsTestModel model;
    Orv3dsTestMaterial paint;
    paint.name = "Paint";
    paint.texture = "paint.png";
    Orv3dsTestMaterial glass;
    glass.name = "Glass";
    model.materials = {paint, glass}; // not in alphabetical order: the file's order counts
    model.meshes.push_back(Orv3dsTestModel::Quad("Hull", "Paint"));
    model.meshes.push_back(Orv3dsTestModel::Quad("", "Glass"));
    return model;
}

std::vector<std::string> NamesStartingWith(OrvParameterManager& parameters,
                                           const std::string& prefix) {
    std::vector<std::string> names;
    for (int i = 0; i < parameters.ParameterCount(); ++i)
        if (parameters.FullName(i).compare(0, prefix.size(), prefix) == 0)
            names.push_back(parameters.FullName(i));
    return names;
}

} // namespace

TEST(OrvObject3dsScript, NamesKeysAndMessages) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(32, 32, 32, 32);
    ASSERT_TRUE(scene.window.IsOpen());
    scene.folder.WriteData("ship.3ds", TwoMeshes().Bytes());
    scene.Solid("paint.png", 2, 2, 255, 255, 255);
    scene.Text("a.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    scene.Load("ship: 3ds ship.3ds {\n shader: a.frag\n meshShader: 1 a.frag\n"
               " meshShader: 7 a.frag\n override: only-one-word\n}\n");
    auto* ship = dynamic_cast<OrvObject3ds*>(scene.objects.Object("ship"));
    ASSERT_NE(nullptr, ship);
    ASSERT_EQ(2, ship->Model().MeshCount());
    EXPECT_EQ("Hull", ship->Model().Mesh(0)->Name());
    EXPECT_EQ(1, ship->Model().Mesh(1)->ShaderCount()) << "index 7 of 2 loads nothing";

    // The object's own, the model's transforms, each mesh (the unnamed one by its index) with
    // its shader programs, each material; then the object's programs.
    std::vector<std::string> names = NamesStartingWith(scene.parameters, "ship.");
    const std::vector<std::string> some = {"ship.useShader",
                                           "ship.wireframe",
                                           "ship.depthMask",
                                           "ship.rot.x",
                                           "ship.pos.y",
                                           "ship.scale.z",
                                           "ship.meshes.Hull.scale",
                                           "ship.meshes.Hull.lighting",
                                           "ship.meshes.Hull.rot.y",
                                           "ship.mesh[1].useShader",
                                           "ship.mesh[1].pos.x",
                                           "ship.materials[0].shininess",
                                           "ship.materials[1].sphereMap",
                                           "ship.materials[0].diffuse.r",
                                           "ship.materials[1].color.a"};
    for (const std::string& name : some)
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), name)) << name;
    EXPECT_EQ("ship.useShader", names.front());
    auto at = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    EXPECT_LT(at("ship.scale.z"), at("ship.meshes.Hull.scale"));
    EXPECT_LT(at("ship.mesh[1].scale.z"), at("ship.materials[0].shininess"));
    EXPECT_EQ("ship.meshes.Hull.scale", names[at("ship.scale.z") + 1]);
    EXPECT_EQ("", ship->Model().Mesh(0)->ParameterName(3));
    EXPECT_EQ("", ship->Model().Material(0)->ParameterName(3));
    EXPECT_EQ("", ship->ParameterName(3));

    // Messages.
    EXPECT_EQ("Could not initialize box because the .3ds file was not defined.",
              scene.LoadError("box: 3ds\n"));
    EXPECT_EQ("Unable to load .3ds file: ../data/none.3ds", scene.LoadError("b: 3ds none.3ds\n"));
    scene.folder.WriteData("cut.3ds", TwoMeshes().Bytes().substr(0, 40));
    EXPECT_EQ(0u, scene.LoadError("c: 3ds cut.3ds\n")
                      .find(std::string("Unable to load .3ds file: ../data/cut.3ds") + ": "));
    // Key lines without their words are not processed, and fail the object.
    std::size_t logStart = scene.context.diagnostics.Text().size();
    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              scene.LoadError("d: 3ds ship.3ds {\n shader\n multiTextures\n meshShader: 0\n}\n"));
    std::string log = scene.context.diagnostics.Text().substr(logStart);
    EXPECT_NE(std::string::npos, log.find("Error: Line not processed: shader")) << log;
    EXPECT_NE(std::string::npos, log.find("Error: Line not processed: meshShader")) << log;
}

TEST(OrvObject3dsScript, MaterialStateForBlendModesAndSphereMapping) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(16, 16, 16, 16);
    ASSERT_TRUE(scene.window.IsOpen());
    scene.Solid("paint.png", 2, 2, 255, 255, 255);
    Orv3dsMaterialData data;
    data.diffuse[0] = 0.5f;
    data.shininess = 0.25f;
    data.textureName = data.textureFile = "paint.png";
    Orv3dsMaterial plain;
    Orv3dsMaterial textured(data, std::map<std::string, std::string>(), scene.context.scene);
    ASSERT_TRUE(textured.IsTextured());
    EXPECT_FLOAT_EQ(0.5f, textured.diffuse.r);
    EXPECT_FLOAT_EQ(1.0f, textured.diffuse.a);

    struct Case {
        double set;
        int mode;
        GLint source, destination, equation;
    } cases[] = {{1, 1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_FUNC_ADD},
                 {2.9, 2, GL_SRC_ALPHA, GL_ONE, GL_FUNC_ADD},
                 {3, 3, GL_ONE, GL_ONE, GL_MAX},
                 {5, 1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_FUNC_ADD},
                 {-1, -1, 0, 0, 0},
                 {-6, -2, 0, 0, 0},
                 {4, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        plain.UpdateParameter(1, c.set);
        EXPECT_EQ(c.mode, plain.BlendMode()) << c.set;
        plain.Use();
        EXPECT_EQ(c.source != 0, glIsEnabled(GL_BLEND) == GL_TRUE) << c.set;
        if (c.source == 0)
            continue;
        GLint source = 0, destination = 0, equation = 0;
        glGetIntegerv(GL_BLEND_SRC_RGB, &source);
        glGetIntegerv(GL_BLEND_DST_RGB, &destination);
        glGetIntegerv(GL_BLEND_EQUATION_RGB, &equation);
        EXPECT_EQ(c.source, source) << c.set;
        EXPECT_EQ(c.destination, destination) << c.set;
        EXPECT_EQ(c.equation, equation) << c.set;
    }

    // Sphere mapping without a texture: texturing on with texture 0, coordinates generated.
    plain.UpdateParameter(2, 1);
    plain.Use();
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(0, bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S) && glIsEnabled(GL_TEXTURE_GEN_T));
    GLint mode = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(GL_SPHERE_MAP, mode);
    // With the texture: it is bound; sphere mapping off again stops the generation.
    textured.UpdateParameter(2, 0.5); // truncated to 0
    textured.Use();
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLint>(textured.TextureHandle()), bound);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    GLfloat diffuse[4] = {0, 0, 0, 0};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(0.5f, diffuse[0]);
    GLfloat shininess = -1;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(0.25f, shininess);
    // Without a sphere map or a texture, texturing is off.
    plain.UpdateParameter(2, 0);
    plain.Use();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// Every model of the shared test set (made by other 3DS tools) loads and shows through a
// camera placed to see all of it; the empty file is refused with the message.
TEST(OrvObject3dsScript, SharedTestModelsLoadAndDraw) {
    ORV_SKIP_WITHOUT_DISPLAY();
    const std::string folder = std::string(ORV_TESTDATA_DIR) + "/3ds/";
    DIR* directory = opendir(folder.c_str());
    if (!directory)
        GTEST_SKIP() << "no shared test models in " << folder;
    std::vector<std::string> files;
    while (dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".3ds") == 0)
            files.push_back(name);
    }
    closedir(directory);
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u);

    int drawn = 0;
    for (const std::string& file : files) {
        OrvImageTestScene scene(48, 48, 48, 48);
        ASSERT_TRUE(scene.window.IsOpen());
        glEnable(GL_DEPTH_TEST);
        scene.folder.WriteData(file, OrvReadFile(folder + file));
        // Their textures: the shared pictures where they exist, plain ones of ours otherwise
        // (the names in the files are in capitals).
        scene.folder.WriteData("test.png", OrvReadFile(folder + "test.png"));
        scene.folder.WriteData("IMAGE1.jpg", OrvReadFile(folder + "IMAGE1.jpg"));
        for (const char* missing : {"CWALL02.JPG", "IMAGE2.JPG", "BERETTA_.JPG"})
            scene.Solid(missing, 4, 4, 200, 200, 200);
        if (file == "empty.3ds") {
            EXPECT_EQ(std::string("Unable to load .3ds file: ../data/empty.3ds") +
                          ": the file is empty",
                      scene.LoadError("m: 3ds " + file + "\n"));
            continue;
        }
        Orv3dsFileContent content = Orv3dsFileReader::ReadFile(folder + file);
        float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
        for (const Orv3dsMeshData& mesh : content.meshes) {
            for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
                low[i % 3] = std::min(low[i % 3], mesh.positions[i]);
                high[i % 3] = std::max(high[i % 3], mesh.positions[i]);
            }
        }
        float size = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2], 1e-3f});
        auto middle = [&](int axis) { return std::to_string((low[axis] + high[axis]) / 2); };
        std::string camera = "cam: camera {\n far: " + std::to_string(size * 10) +
                             "\n near: " + std::to_string(size / 100) + "\n pos.x: " + middle(0) +
                             "\n pos.y: " + middle(1) +
                             "\n pos.z: " + std::to_string(high[2] + size * 2) +
                             "\n lookAt.x: " + middle(0) + "\n lookAt.y: " + middle(1) +
                             "\n lookAt.z: " + middle(2) + "\n}\n";
        ASSERT_EQ("(nothing raised)", scene.LoadError(camera + "m: 3ds " + file + "\n")) << file;
        scene.Line("screen");
        // On blue, so that a model lit by no light (black) shows too.
        ASSERT_TRUE(scene.parameters.AddParameterHold("screen.clear.b", 0, 1));
        scene.Frame();
        OrvPixelBox box = scene.Covered(OrvRgba{0, 0, 255, 255});
        EXPECT_GE(box.left, 0) << file << " drew nothing";
        drawn += box.left >= 0 ? 1 : 0;
    }
    EXPECT_EQ(static_cast<int>(files.size()) - 1, drawn);
}
