// 3DS models drawn through a camera and lit by an environment, with pixels read back: the
// material, the transforms, the switches, shaders, textures and duplicates as a script uses
// them. Test models are written by lib3ds's own writer (tests/support/Orv3dsTestModel).

#include "scene/OrvObject3ds.h"

#include "support/Orv3dsTestModel.h"

#include "OrvObjectImageTestScene.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const OrvRgba Blue{0, 0, 255, 255};

Orv3dsTestMaterial Material(const std::string& name, float r, float g, float b,
                            const std::string& texture = "") {
    Orv3dsTestMaterial material;
    material.name = name;
    for (int i = 0; i < 3; ++i)
        material.ambient[i] = 0;
    material.diffuse[0] = r;
    material.diffuse[1] = g;
    material.diffuse[2] = b;
    material.texture = texture;
    return material;
}

// A window of 64 x 64 looking from z = 2 at the origin, a white light shining from straight
// ahead (from +z, so every point of a square facing the camera is fully lit) and a blue
// background; models are unit squares centred by their "pos".
class ModelScene {
public:
    ModelScene() : scene(64, 64, 64, 64) {
        // What the engine's window starts every show with.
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    }

    bool Open() const { return scene.window.IsOpen(); }

    void Write(const std::string& file, const Orv3dsTestModel& model) {
        std::string bytes = model.Bytes();
        ASSERT_FALSE(bytes.empty());
        scene.folder.WriteData(file, bytes);
    }

    // Loads the camera, the light and then the object lines; holds at 0 go after.
    void Load(const std::string& objectLines) {
        scene.Load("cam: camera {\n pos.z: 2\n}\nenv: enviroment {\n lighting: 1\n"
                   " light[0].enable: 1\n light[0].pos.w: 0\n ambient.r: 0\n ambient.g: 0\n "
                   "ambient.b: 0\n}\n" +
                   objectLines);
        scene.parameters.AddInterface("objects", scene.objects);
        scene.Line("screen");
        Hold("screen.clear.b", 1);
        Hold("screen.clear.a", 1);
    }
    void Hold(const std::string& name, double value, unsigned at = 0) {
        ASSERT_TRUE(scene.parameters.AddParameterHold(name, at, value))
            << scene.context.diagnostics.Text();
    }
    OrvObject3ds* Object(const std::string& name) {
        return dynamic_cast<OrvObject3ds*>(scene.objects.Object(name));
    }
    void Frame(unsigned position = 0) { scene.Frame(position); }
    OrvRgba Pixel(int x, int y) const { return scene.Pixel(x, y); }

    OrvImageTestScene scene;
};

// The unit quad (two faces) centred on the origin by the object's position.
std::string QuadObject(const std::string& name, const std::string& file,
                       const std::string& extra = "") {
    return name + ": 3ds " + file + " {\n pos.x: -0.5\n pos.y: -0.5\n" + extra + "}\n";
}

Orv3dsTestModel RedQuad() {
    Orv3dsTestModel model;
    model.materials.push_back(Material("Red", 1, 0, 0));
    model.meshes.push_back(Orv3dsTestModel::Quad("Hull", "Red"));
    return model;
}

} // namespace

TEST(OrvObject3dsDraw, LitMaterialTransformsAndColours) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ModelScene s;
    ASSERT_TRUE(s.Open());
    s.Write("ship.3ds", RedQuad());
    s.Load(QuadObject("ship", "ship.3ds"));
    OrvObject3ds* ship = s.Object("ship");
    ASSERT_NE(nullptr, ship);
    s.Frame();
    // Lit red in the middle, the background at the corners.
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{255, 0, 0, 255}, 30)) << s.Pixel(32, 32);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(1, 1), Blue, 2)) << s.Pixel(1, 1);

    // The model moved right by a unit leaves the middle; so does the mesh moved up.
    s.Hold("ship.pos.x", 1.5, 1000);
    s.Frame(1000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), Blue, 2)) << "model moved: " << s.Pixel(32, 32);
    s.Hold("ship.pos.x", -0.5, 2000);
    s.Hold("ship.meshes.Hull.pos.y", 1.5, 2000);
    s.Frame(2000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), Blue, 2)) << "mesh moved: " << s.Pixel(32, 32);

    // Back in place with the material's red faded out: black, since nothing else lights it.
    s.Hold("ship.meshes.Hull.pos.y", 0, 3000);
    s.Hold("ship.materials[0].diffuse.r", 0, 3000);
    s.Frame(3000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{0, 0, 0, 255}, 8)) << s.Pixel(32, 32);

    // The mesh's lighting switch off: the material is not used, the current colour (white)
    // draws.
    s.Hold("ship.meshes.Hull.lighting", 0.7, 4000); // truncated to 0
    s.Frame(4000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{255, 255, 255, 255}, 8)) << s.Pixel(32, 32);
    const std::string& log = s.scene.context.diagnostics.Text();
    EXPECT_EQ("", log.substr(log.find_last_of('\n') + 1));
}

TEST(OrvObject3dsDraw, WireframeDepthMaskAndDefaultMaterial) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ModelScene s;
    ASSERT_TRUE(s.Open());
    s.Write("ship.3ds", RedQuad());
    Orv3dsTestModel bare; // no materials at all
    bare.meshes.push_back(Orv3dsTestModel::Quad("", ""));
    s.Write("bare.3ds", bare);
    // Near: the red quad at z = 0.5; far: the quad without materials at z = 0.
    s.Load(QuadObject("ship", "ship.3ds", " pos.z: 0.5\n") + QuadObject("bare", "bare.3ds"));
    OrvObject3ds* ship = s.Object("ship");
    ASSERT_NE(nullptr, ship);
    EXPECT_EQ(1, s.Object("bare")->Model().MaterialCount());
    s.Frame();
    // The far quad is hidden behind the red one.
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{255, 0, 0, 255}, 30)) << s.Pixel(32, 32);

    // With depth writes off, the red quad leaves no depth behind, and the one drawn after it
    // (the default material: every colour 0, so black) covers it.
    s.Hold("ship.depthMask", 0, 1000);
    s.Frame(1000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{0, 0, 0, 255}, 8)) << s.Pixel(32, 32);

    // Wireframe: lines along the quad's edges, its inside open; the far quad (hidden by
    // nothing now) is turned off to leave the background.
    s.Hold("ship.depthMask", 1, 2000);
    s.Hold("ship.wireframe", 1, 2000);
    s.Hold("objects.bare", 0, 2000);
    s.Frame(2000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(22, 22), Blue, 2)) << "inside: " << s.Pixel(22, 22);
    int edge = 0;
    for (int y = 0; y < 64; ++y) // the quad's diagonal, bottom left to top right, is an edge
        edge += OrvRgbNear(s.Pixel(63 - y, y), Blue, 40) ? 0 : 1;
    EXPECT_GT(edge, 10);
    EXPECT_TRUE(ship->Wireframe());
}

TEST(OrvObject3dsDraw, ShadersOfTheModelAndOfAMesh) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ModelScene s;
    ASSERT_TRUE(s.Open());
    s.Write("ship.3ds", RedQuad());
    s.scene.Text("green.frag", "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    s.scene.Text("level.frag",
                 "uniform float level;\nvoid main() { gl_FragColor = vec4(level); }\n");
    s.Load(QuadObject("ship", "ship.3ds", " shader: green.frag\n useShader: 5\n") +
           QuadObject("other", "ship.3ds", " meshShader: 0 level.frag\n meshShader: 7 x.frag\n"));
    OrvObject3ds* ship = s.Object("ship");
    OrvObject3ds* other = s.Object("other");
    ASSERT_NE(nullptr, ship);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(0, ship->UseShader()) << "5 with one program is the last one";
    EXPECT_EQ(0, other->Model().Mesh(0)->UseShader());
    ASSERT_TRUE(s.scene.parameters.ParameterExists("other.meshes.Hull.shader[0].level"));

    s.Hold("objects.other", 0);
    s.Frame();
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{0, 255, 0, 255}, 4)) << s.Pixel(32, 32);
    s.Hold("ship.useShader", -3, 1000);
    s.Frame(1000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{255, 0, 0, 255}, 30)) << s.Pixel(32, 32);

    // The mesh's program draws the other model, with its uniform animated.
    s.Hold("objects.ship", 0, 2000);
    s.Hold("objects.other", 1, 2000);
    s.Hold("other.meshes.Hull.shader[0].level", 0.5, 2000);
    s.Frame(2000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{128, 128, 128, 255}, 4)) << s.Pixel(32, 32);
    s.Hold("other.meshes.Hull.useShader", -1, 3000);
    s.Frame(3000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{255, 0, 0, 255}, 30)) << s.Pixel(32, 32);
}

TEST(OrvObject3dsDraw, TexturesOverridesAndGeneratedCoordinates) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ModelScene s;
    ASSERT_TRUE(s.Open());
    // The file's texture name, in capitals as old files have them, exists only in lower case.
    Orv3dsTestModel model;
    model.materials.push_back(Material("White", 1, 1, 1, "PAINT.PNG"));
    model.meshes.push_back(Orv3dsTestModel::Quad("Hull", "White"));
    s.Write("ship.3ds", model);
    s.scene.Solid("paint.png", 4, 4, 255, 255, 0);
    s.scene.Solid("green.png", 4, 4, 0, 255, 0);
    s.scene.Solid("cyan.png", 4, 4, 0, 255, 255);
    std::vector<unsigned char> halves = OrvRepeatPixel({255, 0, 0}, 8);
    std::vector<unsigned char> lower = OrvRepeatPixel({0, 0, 255}, 8);
    halves.insert(halves.end(), lower.begin(), lower.end());
    s.scene.Picture("halves.png", 4, 4, halves);
    s.Load(
        QuadObject("plain", "ship.3ds") +
        QuadObject("swapped", "ship.3ds", " override: PAINT.PNG cyan.png\n") +
        QuadObject("own", "ship.3ds", " texture: 0 red.png\n texture: 0 green.png\n") +
        QuadObject("gen", "ship.3ds", " generateTexCoords\n multiTextures: green.png cyan.png\n") +
        QuadObject("upright", "ship.3ds", " override: PAINT.PNG halves.png\n"));
    auto only = [&](const std::string& name, unsigned at) {
        for (const char* other : {"plain", "swapped", "own", "gen", "upright"})
            s.Hold(std::string("objects.") + other, name == other ? 1 : 0, at);
        s.Frame(at);
        return s.Pixel(32, 20);
    };
    EXPECT_TRUE(OrvRgbNear(only("plain", 0), OrvRgba{255, 255, 0, 255}, 30));
    // The quad's texture coordinates put (0, 0) at its bottom left: a picture red above and
    // blue below stands upright on it.
    OrvRgba top = only("upright", 500);
    EXPECT_TRUE(OrvRgbNear(top, OrvRgba{255, 0, 0, 255}, 60)) << top;
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 44), OrvRgba{0, 0, 255, 255}, 60)) << s.Pixel(32, 44);
    EXPECT_TRUE(OrvRgbNear(only("swapped", 1000), OrvRgba{0, 255, 255, 255}, 30));
    // A "texture" line appends a material of the mesh's own; the second line won.
    OrvObject3ds* own = s.Object("own");
    EXPECT_EQ(2, own->Model().MaterialCount());
    EXPECT_EQ(own->Model().Material(1), own->Model().Mesh(0)->Material());
    EXPECT_TRUE(OrvRgbNear(only("own", 2000), OrvRgba{0, 255, 0, 255}, 30));

    // Generated coordinates: corner k of the 6 gets (k/6, k/6), in single precision.
    OrvObject3ds* gen = s.Object("gen");
    const Orv3dsMeshBuffers& buffers = gen->Model().Mesh(0)->Buffers();
    std::vector<float> uv(12, -1.0f);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.Name(Orv3dsMeshBuffers::GeneratedTexCoords));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 12 * sizeof(float), uv.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    float e = 0;
    for (int k = 0; k < 6; ++k, e += 1.0f / 6.0f) {
        EXPECT_EQ(e, uv[2 * k]) << k;
        EXPECT_EQ(e, uv[2 * k + 1]) << k;
    }
    // The extra textures go to units 1 and 2 while the model draws.
    ASSERT_EQ(2u, gen->ExtraTextures().size());
    gen->Draw(s.scene.context.Pass());
    GLint bound = 0;
    glActiveTexture(GL_TEXTURE2);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLint>(gen->ExtraTextures()[1]), bound);
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLint>(gen->ExtraTextures()[0]), bound);
    glActiveTexture(GL_TEXTURE0);
    // The model leaves no vertex array switched on for whatever draws next.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}

TEST(OrvObject3dsDraw, ADuplicateMovesAndColoursOnItsOwn) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ModelScene s;
    ASSERT_TRUE(s.Open());
    s.Write("ship.3ds", RedQuad());
    // A copy is made before the source's block values apply: it gets its own.
    s.Load(QuadObject("ship", "ship.3ds") +
           "copy: duplicate ship {\n pos.x: -0.5\n pos.y: -0.5\n}\n");
    OrvObject3ds* ship = s.Object("ship");
    OrvObject3ds* copy = s.Object("copy");
    ASSERT_NE(nullptr, copy);
    ASSERT_NE(ship, copy);
    // The copy shares the vertex buffers, and has materials of its own.
    EXPECT_EQ(ship->Model().Mesh(0)->Buffers().Name(Orv3dsMeshBuffers::Positions),
              copy->Model().Mesh(0)->Buffers().Name(Orv3dsMeshBuffers::Positions));
    EXPECT_EQ(copy->Model().Material(0), copy->Model().Mesh(0)->Material());

    // The source off; the copy in the source's place, turned green.
    s.Hold("objects.ship", 0);
    s.Hold("copy.materials[0].diffuse.r", 0);
    s.Hold("copy.materials[0].diffuse.g", 1);
    s.Frame();
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{0, 255, 0, 255}, 30)) << s.Pixel(32, 32);
    // Moving the copy away leaves the middle; the source, back on, is still red and in place.
    s.Hold("objects.ship", 1, 1000);
    s.Hold("copy.pos.x", 5, 1000);
    s.Frame(1000);
    EXPECT_TRUE(OrvRgbNear(s.Pixel(32, 32), OrvRgba{255, 0, 0, 255}, 30)) << s.Pixel(32, 32);
    EXPECT_FLOAT_EQ(1.0f, ship->Model().Material(0)->diffuse.r);
}
