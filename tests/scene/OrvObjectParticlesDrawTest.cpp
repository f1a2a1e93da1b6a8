// What particle systems put on the screen: drawn through a camera and a real render line into
// a real window, and read back. A 64 x 64 window, the camera at (0, 0, 10) looking at the
// origin with a 45 degree field of view: one world unit at the origin is 32 / (10 tan 22.5)
// pixels, about 7.7.

#include "scene/OrvObjectParticles.h"

#include "base/OrvRandom.h"
#include "gfx/OrvShaderVariable.h"
#include "scene/OrvObjectCamera.h"
#include "support/OrvAllocationCounter.h"
#include "support/OrvParticleQuadDraw.h"

#include "OrvObjectImageTestScene.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const OrvRgba Black{0, 0, 0, 255};
const OrvRgba Red{255, 0, 0, 255};
const OrvRgba Green{0, 255, 0, 255};
const OrvRgba Blue{0, 0, 255, 255};
const OrvRgba White{255, 255, 255, 255};

const double Pi = 3.14159265358979323846;
// Pixels per world unit in the plane z = 0.
const double Scale = 32 / (10 * std::tan(22.5 * Pi / 180));

class ParticleScene : public OrvImageTestScene {
public:
    ParticleScene() : OrvImageTestScene(64, 64, 64, 64) {}

    // Loads a camera and the system, and a render line that draws both.
    OrvObjectParticles* LoadSystem(const std::string& cameraLines, const std::string& block) {
        Load("cam: camera {\n" + cameraLines + "}\nfx: particles {\n" + block + "}");
        Line("screen");
        return dynamic_cast<OrvObjectParticles*>(objects.Object("fx"));
    }
    // The window pixel (top-down) where a point of the plane z = 0 appears.
    OrvRgba At(double x, double y) const {
        return Pixel(static_cast<int>(std::floor(32 + x * Scale)),
                     static_cast<int>(std::floor(32 - y * Scale)));
    }
};

} // namespace

TEST(OrvObjectParticlesDraw, OneParticleIsASquareOfItsColourFacingTheCamera) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvPixelBox covered;
    {
        ParticleScene scene;
        ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
        OrvObjectParticles* fx = scene.LoadSystem("", " maxParticles: 1\n drawingMode: 1\n"
                                                      " emitter {\n  size: 1\n  lifeTime: 0\n"
                                                      "  color.g: 0.5\n  color.b: 0.25\n }\n");
        ASSERT_NE(nullptr, fx);
        scene.Frame();
        EXPECT_EQ(1u, fx->DrawnCount());
        EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), (OrvRgba{255, 128, 64, 255}), 2));
        // Half-side 1 at distance 10: the square spans the pixels whose centres lie within
        // 32 -+ Scale.
        int low = static_cast<int>(std::ceil(32 - Scale - 0.5));
        int high = static_cast<int>(std::floor(32 + Scale - 0.5)) + 1;
        covered = scene.Covered(Black);
        EXPECT_NEAR(low, covered.left, 1);
        EXPECT_NEAR(low, covered.top, 1);
        EXPECT_NEAR(high, covered.right, 1);
        EXPECT_NEAR(high, covered.bottom, 1);
    }

    // From the side (the camera at x = 10) the square still faces the camera.
    ParticleScene side;
    ASSERT_TRUE(side.window.IsOpen()) << side.window.Error();
    side.LoadSystem(" pos.x: 10\n pos.z: 0\n",
                    " maxParticles: 1\n emitter {\n  size: 1\n  lifeTime: 0\n }\n");
    side.Frame();
    EXPECT_EQ(covered, side.Covered(Black));
}

// A pass without a camera of its own (its matrices are identity) still turns particles to face
// the camera drawn last, in an earlier pass: facing the default camera on the z axis, the
// square lies in the picture's plane; facing one on the x axis, it is seen edge on.
TEST(OrvObjectParticlesDraw, APassWithoutACameraFacesTheCameraOfAnEarlierPass) {
    ORV_SKIP_WITHOUT_DISPLAY();
    for (const std::string cameraLines : {"", " pos.x: 10\n pos.z: 0\n"}) {
        SCOPED_TRACE(cameraLines);
        ParticleScene scene;
        ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
        scene.Load("cam: camera {\n" + cameraLines + "}\nfx: particles {\n maxParticles: 1\n" +
                   " emitter {\n  size: 0.5\n  lifeTime: 0\n }\n}");
        scene.Line("first", "objects: cam");
        scene.Line("second", "objects: fx");
        scene.Frame();
        ASSERT_EQ(1u, dynamic_cast<OrvObjectParticles*>(scene.objects.Object("fx"))->DrawnCount());
        OrvPixelBox covered = scene.Covered(Black);
        if (cameraLines.empty()) {
            EXPECT_EQ((OrvPixelBox{16, 16, 48, 48}), covered);
        } else {
            EXPECT_LE(covered.right - covered.left, 1);
        }
    }
}

TEST(OrvObjectParticlesDraw, AnEmitterAloneDrawsAThousandWhiteSquaresFromTheFirstFrame) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    OrvObjectParticles* fx = scene.LoadSystem("", " emitter {\n }\n");
    ASSERT_NE(nullptr, fx);
    scene.Frame();
    EXPECT_EQ(1000u, fx->DrawnCount());
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), White, 2));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(28, 32), Black, 2)); // half-side 0.1: under a pixel
    EXPECT_EQ((OrvPixelBox{31, 31, 33, 33}), scene.Covered(Black));
}

TEST(OrvObjectParticlesDraw, SortedDrawingPutsTheNearestParticleOnTop) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    // The near red particle is made first, the far green one second.
    OrvObjectParticles* fx = scene.LoadSystem(
        "", " maxParticles: 2\n"
            " emitter {\n  pos: 0 0 2\n  size: 0.5\n  color.g: 0\n  color.b: 0\n  lifeTime: 0\n }\n"
            " emitter {\n  pos: 0 0 -2\n  size: 1.5\n  color.r: 0\n  color.b: 0\n  lifeTime: 0\n"
            " }\n");
    ASSERT_NE(nullptr, fx);
    fx->UpdateParameter(2, 1); // drawingMode (not a hold, so the next frames can change it)
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Red, 2));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32 + 7, 32), Green, 2)); // the far one, around it
    // The pool itself was sorted, farthest first.
    ASSERT_EQ(2u, fx->Particles().size());
    EXPECT_EQ(-2, fx->Particles()[0].position.z);
    EXPECT_EQ(OrvObjectParticles::SortKey(OrvVector3(0, 0, 10), OrvVector3(0, 0, -2)),
              fx->Particles()[0].sortKey);
    EXPECT_EQ(120000LL * 120000LL, fx->Particles()[0].sortKey);
    EXPECT_EQ(80000LL * 80000LL, fx->Particles()[1].sortKey);

    // Unsorted additive drawing: the two colours add up.
    fx->UpdateParameter(2, 0);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), (OrvRgba{255, 255, 0, 255}), 2));
}

TEST(OrvObjectParticlesDraw, SortKeysTruncateAndStayWithinRange) {
    // Units of 1/10000, each difference truncated toward zero.
    EXPECT_EQ(12345LL * 12345LL,
              OrvObjectParticles::SortKey(OrvVector3(1.23456, 0, 0), OrvVector3(0, 0, 0)));
    EXPECT_EQ(3LL * 3 + 4LL * 4,
              OrvObjectParticles::SortKey(OrvVector3(0, 0, 0), OrvVector3(-0.00035, 0.00049, 0)));
    // Far beyond the box each difference is held, so the key neither wraps nor is undefined.
    long long far = OrvObjectParticles::SortKey(OrvVector3(0, 0, 0), OrvVector3(1e30, -1e30, 1e30));
    EXPECT_GT(far, 8000000000000000000LL);
    EXPECT_GT(far, OrvObjectParticles::SortKey(OrvVector3(0, 0, 0), OrvVector3(1e5, 1e5, 1e5)));
}

TEST(OrvObjectParticlesDraw, FadingParticlesLoseTheirAlphaOverTheirLife) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    OrvObjectParticles* fx =
        scene.LoadSystem("", " maxParticles: 2\n drawingMode: 1\n fadeAway: 1\n"
                             " emitter {\n  pos: -2 0 0\n  size: 1\n  lifeTime: 2\n }\n"
                             " emitter {\n  pos: 2 0 0\n  size: 1\n  lifeTime: 0\n }\n");
    ASSERT_NE(nullptr, fx);
    scene.Frame(); // made, age 0
    EXPECT_TRUE(OrvRgbNear(scene.At(-2, 0), White, 2));
    fx->Update(984);
    scene.Frame(); // age 1 of 2: half the alpha
    EXPECT_TRUE(OrvRgbNear(scene.At(-2, 0), (OrvRgba{128, 128, 128, 255}), 3));
    // An immortal particle has no life to fade over: it keeps its colour.
    EXPECT_TRUE(OrvRgbNear(scene.At(2, 0), White, 2));
    fx->Update(500);
    scene.Frame(); // age 1.5: a quarter
    EXPECT_TRUE(OrvRgbNear(scene.At(-2, 0), (OrvRgba{64, 64, 64, 255}), 3));
}

TEST(OrvObjectParticlesDraw, TexturesArePickedAtRandomAndDrawnInRuns) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("red.png", 4, 4, 255, 0, 0);
    scene.Solid("green.png", 4, 4, 0, 255, 0);
    scene.Solid("blue.png", 4, 4, 0, 0, 255);
    const double places[4][2] = {{-3, 0}, {3, 0}, {0, 3}, {0, -3}};
    std::string block = " maxParticles: 4\n drawingMode: 1\n textures: red.png green.png\n"
                        " textures: blue.png\n";
    for (const auto& place : places)
        block += " emitter {\n  size: 1\n  lifeTime: 0\n  pos: " + std::to_string(place[0]) + " " +
                 std::to_string(place[1]) + " 0\n }\n";
    OrvObjectParticles* fx = scene.LoadSystem("", block);
    ASSERT_NE(nullptr, fx);
    ASSERT_EQ(3, fx->TextureCount());
    EXPECT_EQ(3, fx->Emitter(3).TextureCount());
    OrvRandom generator;
    fx->UseRandom(generator);
    scene.Frame();

    // Without a radius each particle draws thirteen values, then its texture: the
    // fourteenth modulo 3.
    OrvRandom expected;
    const OrvRgba colours[3] = {Red, Green, Blue};
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 13; ++i)
            expected.Next();
        int texture = expected.Next() % 3;
        EXPECT_EQ(texture, fx->Particles()[k].textureIndex) << k;
        EXPECT_TRUE(OrvRgbNear(scene.At(places[k][0], places[k][1]), colours[texture], 3)) << k;
    }
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Black, 2));
}

TEST(OrvObjectParticlesDraw, TexturesStandUpright) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    // The picture's top half red, its bottom half blue: so on the square, seen through the
    // camera with y up.
    std::vector<unsigned char> rgb = OrvRepeatPixel({255, 0, 0}, 8 * 4);
    std::vector<unsigned char> lower = OrvRepeatPixel({0, 0, 255}, 8 * 4);
    rgb.insert(rgb.end(), lower.begin(), lower.end());
    scene.Picture("half.png", 8, 8, rgb);
    OrvObjectParticles* fx =
        scene.LoadSystem("", " maxParticles: 1\n drawingMode: 1\n textures: half.png\n"
                             " emitter {\n  size: 2\n  lifeTime: 0\n }\n");
    ASSERT_NE(nullptr, fx);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.At(0, 1.5), Red, 3));
    EXPECT_TRUE(OrvRgbNear(scene.At(0, -1.5), Blue, 3));
}

TEST(OrvObjectParticlesDraw, RotationTurnsTheSquareAboutTheViewingAxis) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    // Half-side 1, turned by 45 degrees: a diamond reaching sqrt(2) along the axes.
    OrvObjectParticles* fx = scene.LoadSystem(
        "", " maxParticles: 1\n drawingMode: 1\n emitter {\n  size: 1\n  lifeTime: 0\n"
            "  rotation: 45\n }\n");
    ASSERT_NE(nullptr, fx);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.At(1.15, 0), White, 2));
    EXPECT_TRUE(OrvRgbNear(scene.At(0, -1.15), White, 2));
    EXPECT_TRUE(OrvRgbNear(scene.At(0.8, 0.8), Black, 2)); // a corner of the unturned square
}

TEST(OrvObjectParticlesDraw, AParticleAtTheCameraIsLeftOutOfTheFrame) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    OrvObjectParticles* fx = scene.LoadSystem(
        " pos.z: 0\n lookAt.z: -1\n",
        " maxParticles: 2\n drawingMode: 1\n"
        " emitter {\n  size: 1\n  lifeTime: 0\n }\n"
        " emitter {\n  pos: 0 0 -5\n  size: 1\n  lifeTime: 0\n  color.g: 0\n  color.b: 0\n"
        " }\n");
    ASSERT_NE(nullptr, fx);
    scene.Frame();
    scene.Frame(); // sorted: the one at the camera has key 0 and comes last
    EXPECT_EQ(1u, fx->DrawnCount());
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Red, 2));
}

TEST(OrvObjectParticlesDraw, ADisabledSystemKeepsSimulatingButIsNotDrawn) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    OrvObjectParticles* fx = scene.LoadSystem(
        "", " maxParticles: 1\n gravity.y: -10\n emitter {\n  size: 1\n  lifeTime: 0\n }\n");
    ASSERT_NE(nullptr, fx);
    scene.objects.UpdateParameter(1, 0); // objects.fx off
    scene.Frame();
    scene.Frame();
    ASSERT_EQ(1u, fx->Particles().size());
    EXPECT_DOUBLE_EQ(-10 * 0.016, fx->Particles()[0].velocity.y);
    EXPECT_EQ(0u, fx->DrawnCount());
    EXPECT_EQ((OrvPixelBox{-1, -1, -1, -1}), scene.Covered(Black));
    scene.objects.UpdateParameter(1, 1);
    scene.Frame();
    EXPECT_EQ(1u, fx->DrawnCount());
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), White, 2));
}

TEST(OrvObjectParticlesDraw, TheFirstShaderProgramDrawsAndItsUniformsAreParameters) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Text("tint.frag", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    scene.Text("other.frag", "uniform float level;\nvoid main() { gl_FragColor = vec4(level); }\n");
    OrvObjectParticles* fx = scene.LoadSystem(
        "", " maxParticles: 1\n drawingMode: 1\n shader: tint.frag\n shader: other.frag\n"
            " emitter {\n  size: 1\n  lifeTime: 0\n }\n"
            " shaders[0].tint.2: 1\n shaders[0].tint.3: 1\n");
    ASSERT_NE(nullptr, fx);
    EXPECT_EQ(2, fx->ShaderCount());
    EXPECT_EQ(0, fx->ShaderIndex());
    EXPECT_TRUE(scene.parameters.ParameterExists("fx.shaders[1].level"));
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Blue, 2));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(5, 5), Black, 2));
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(0, program);
}

TEST(OrvObjectParticlesDraw, BatchedDrawingGivesThePictureOfOneQuadPerParticle) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("red.png", 4, 4, 255, 0, 0);
    scene.Solid("grey.png", 4, 4, 128, 128, 128);
    // Overlapping particles of two textures and none (a third emitter), seen from aside.
    OrvObjectParticles* fx = scene.LoadSystem(
        " pos.x: 3\n pos.y: 2\n",
        " maxParticles: 300\n textures: red.png grey.png\n"
        " emitter {\n  radius: 0 3\n  size: 0.05 0.4\n  lifeTime: 0\n  rotation: 0 360\n"
        "  color.g: 0 0.6\n  color.a: 0.2 0.7\n }\n"
        " emitter {\n  radius: 0 2\n  size: 0.2 0.5\n  lifeTime: 0\n  color.a: 0.3\n }\n"
        " emitter {\n  radius: 0 2\n  size: 0.2 0.5\n  lifeTime: 0\n  color.b: 0.2\n }\n");
    ASSERT_NE(nullptr, fx);
    fx->Emitter(2).SetTextureCount(0); // its particles are untextured
    // Additive (grouped by texture), then alpha blended (in order, sorted far to near, in one
    // draw whatever the textures), then that again in exponential-squared fog.
    std::vector<OrvRgba> clear; // the sorted picture without fog
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const int mode = round == 0 ? 0 : 1;
        fx->UpdateParameter(2, mode);
        if (round == 2) {
            const GLfloat fogColour[4] = {0.1f, 0.3f, 0.6f, 1.0f};
            glEnable(GL_FOG);
            glFogi(GL_FOG_MODE, GL_EXP2);
            glFogf(GL_FOG_DENSITY, 0.08f);
            glFogfv(GL_FOG_COLOR, fogColour);
        }
        scene.Frame();
        EXPECT_EQ(fx->Particles().size(), fx->DrawnCount());
        if (mode == 1) {
            EXPECT_EQ(1u, fx->DrawCallCount());
        }
        std::vector<OrvRgba> batched = scene.window.ReadPixels(0, 0, 64, 64);

        // The same particles, in the pool's order, one matrix and one quad each.
        glViewport(0, 0, 64, 64);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        OrvDrawPass& pass = scene.context.Pass();
        scene.objects.Object("cam")->Draw(pass);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, mode == 0 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(mode == 0 ? GL_FALSE : GL_TRUE);
        OrvDrawEachParticle(*fx, pass.eye.position, pass.eye.up);
        glPopAttrib();
        glDisable(GL_FOG);
        std::vector<OrvRgba> reference = scene.window.ReadPixels(0, 0, 64, 64);

        int lit = 0;
        int different = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            lit += OrvRgbNear(reference[i], Black, 8) ? 0 : 1;
            different += OrvRgbNear(reference[i], batched[i], 4) ? 0 : 1;
        }
        EXPECT_GT(lit, 400); // a picture worth comparing
        EXPECT_LE(different, 5) << "of " << lit << " lit pixels";
        if (round == 1)
            clear = batched;
        if (round == 2) {
            int fogged = 0;
            for (std::size_t i = 0; i < clear.size(); ++i)
                fogged += OrvRgbNear(clear[i], batched[i], 4) ? 0 : 1;
            EXPECT_GT(fogged, 400); // the fog is in the picture
        }
    }
}

TEST(OrvObjectParticlesDraw, FramesAllocateNothingOnceThePoolIsSized) {
    ORV_SKIP_WITHOUT_DISPLAY();
    ParticleScene scene;
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("red.png", 4, 4, 255, 0, 0);
    scene.Solid("blue.png", 4, 4, 0, 0, 255);
    scene.Text("tint.frag", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    OrvObjectParticles* fx = scene.LoadSystem(
        "", " maxParticles: 2000\n drawingMode: 1\n fadeAway: 1\n textures: red.png blue.png\n"
            " shader: tint.frag\n gravity.y: -2\n box: -2 -2 -2 2 2 2\n"
            " attractor {\n  pos: 1 1 1\n }\n"
            " emitter {\n  radius: 1\n  lifeTime: 0.05 0.5\n  dir.x: -1 1\n"
            "  rotation: 0 90\n }\n");
    ASSERT_NE(nullptr, fx);
    scene.Frame();
    unsigned long before = OrvAllocationCount();
    for (int i = 0; i < 20; ++i)
        scene.Frame();
    EXPECT_EQ(before, OrvAllocationCount());
    EXPECT_EQ(2000u, fx->DrawnCount());
}
