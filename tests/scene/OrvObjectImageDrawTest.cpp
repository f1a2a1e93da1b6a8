// What image objects put on the screen: drawn through real render lines into a real window
// and read back.

#include "scene/OrvObjectImage.h"

#include "OrvObjectImageTestScene.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const OrvRgba Black{0, 0, 0, 255};
const OrvRgba Red{255, 0, 0, 255};
const OrvRgba Green{0, 255, 0, 255};
const OrvRgba Blue{0, 0, 255, 255};
const OrvRgba White{255, 255, 255, 255};

// Pixels of a picture whose top half is red and bottom half blue.
std::vector<unsigned char> RedOverBlue(int width, int height) {
    std::vector<unsigned char> rgb = OrvRepeatPixel({255, 0, 0}, width * (height / 2));
    std::vector<unsigned char> lower = OrvRepeatPixel({0, 0, 255}, width * (height - height / 2));
    rgb.insert(rgb.end(), lower.begin(), lower.end());
    return rgb;
}

} // namespace

TEST(OrvObjectImageDraw, PictureKeepsItsSizeRelativeToTheSurfaceOrFillsTheViewport) {
    ORV_SKIP_WITHOUT_DISPLAY();
    // A 256 x 128 picture on an 800 x 600 surface, drawn into a 400 x 300 viewport.
    OrvImageTestScene scene(400, 300, 800, 600);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Picture("pic.png", 256, 128, RedOverBlue(256, 128));
    OrvObjectImage* image = scene.Load("box: image pic.png");
    ASSERT_NE(nullptr, image);
    scene.Line("screen");

    scene.Frame();
    EXPECT_EQ((OrvPixelBox{136, 118, 264, 182}), scene.Covered(Black));
    // Upright: the picture's top row is at the top of the rectangle.
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 125), Red, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 175), Blue, 4));

    // Each side moves out by the zoom's share of the width (and height): zoom adds to both.
    image->UpdateParameter(2, 0.5); // zoom.x
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{72, 118, 328, 182}), scene.Covered(Black));
    image->UpdateParameter(2, 0);
    image->UpdateParameter(1, 0.25); // zoom
    image->UpdateParameter(3, 0.25); // zoom.y
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{104, 86, 296, 214}), scene.Covered(Black));

    // Stretched, the rectangle is the viewport; zoom -0.25 halves it about the centre.
    image->UpdateParameter(3, 0);
    image->UpdateParameter(1, 0);
    image->UpdateParameter(0, 0.5); // stretch: any value but 0
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{0, 0, 400, 300}), scene.Covered(Black));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(5, 5), Red, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(395, 295), Blue, 4));
    image->UpdateParameter(1, -0.25);
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{100, 75, 300, 225}), scene.Covered(Black));

    // pos moves it right and down, in viewport pixels.
    image->UpdateParameter(0, 0);
    image->UpdateParameter(1, 0);
    image->UpdateParameter(11, 5);  // pos.x
    image->UpdateParameter(12, 10); // pos.y
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{141, 128, 269, 192}), scene.Covered(Black));
}

TEST(OrvObjectImageDraw, StretchedZoomAndOffsetsPickThePartOfThePictureShown) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(400, 300, 400, 300);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Picture("stripes.png", 4, 1, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    scene.Picture("halves.png", 1, 2, {255, 0, 0, 0, 0, 255});
    OrvObjectImage* stripes = scene.Load("stripes: image stripes.png {\n stretch: 1\n}");
    OrvObjectImage* halves = scene.Load("halves: image halves.png {\n stretch: 1\n}");
    ASSERT_TRUE(stripes && halves);
    scene.Line("screen", "objects: stripes");
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(50, 150), Red, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(150, 150), Green, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(250, 150), Blue, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(350, 150), White, 4));

    // Stretched with zoom 0.5 the rectangle is twice the viewport, centred on it: only the
    // middle half of the picture is on screen.
    stripes->UpdateParameter(1, 0.5);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(100, 150), Green, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(300, 150), Blue, 4));

    // offset.x slides the picture left; it repeats past its edge.
    stripes->UpdateParameter(1, 0);
    stripes->UpdateParameter(9, 0.25);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(50, 150), Green, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(250, 150), White, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(350, 150), Red, 4));

    // offset.y slides it down: the picture's top half comes to the lower half of the screen.
    scene.objects.UpdateParameter(0, 0);
    scene.Line("second", "objects: halves");
    halves->UpdateParameter(10, 0.5);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 225), Red, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 75), Blue, 4));
}

namespace {
// The wrap mode the texture `handle` holds now.
int Wrap(unsigned handle, unsigned direction) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, handle);
    glGetTexParameteriv(GL_TEXTURE_2D, direction, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}
} // namespace

TEST(OrvObjectImageDraw, EdgesAreClampedUnlessAnOffsetScrollsThePicture) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(400, 300, 400, 300);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    // Black then white, across and down: stretched, the outermost screen pixels are sampled a
    // quarter texel from the picture's edge, where a repeating wrap mixes in the other side.
    scene.Picture("across.png", 2, 1, {0, 0, 0, 255, 255, 255});
    scene.Picture("down.png", 1, 2, {0, 0, 0, 255, 255, 255});
    OrvObjectImage* across = scene.Load("across: image across.png {\n stretch: 1\n}");
    OrvObjectImage* down = scene.Load("down: image down.png {\n stretch: 1\n}");
    ASSERT_TRUE(across && down);
    scene.objects.UpdateParameter(1, 0);
    scene.Line("screen");
    const OrvRgba Grey{128, 128, 128, 255};

    // Not scrolled: each edge shows its own colour, no seam of the other side.
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(0, 150), Black, 8)) << "left edge";
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(399, 150), White, 8)) << "right edge";

    // A whole picture width of offset shows the same picture, now repeating: both edges mix.
    across->UpdateParameter(9, 1); // offset.x
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(0, 150), Grey, 30)) << "left edge, scrolled";
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(399, 150), Grey, 30)) << "right edge, scrolled";

    // Each axis on its own: scrolled down only, the picture is still clamped across.
    across->UpdateParameter(9, 0);
    across->UpdateParameter(10, 1); // offset.y
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(0, 150), Black, 8)) << "left edge, scrolled down";
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(399, 150), White, 8)) << "right edge, scrolled down";

    // The same down the picture: black at the top, white at the bottom.
    scene.objects.UpdateParameter(0, 0);
    scene.objects.UpdateParameter(1, 1);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 0), Black, 8)) << "top edge";
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 299), White, 8)) << "bottom edge";
    down->UpdateParameter(10, -2);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 0), Grey, 30)) << "top edge, scrolled";
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(200, 299), Grey, 30)) << "bottom edge, scrolled";

    // Other objects share the textures (a model may tile the same picture): after drawing,
    // they repeat again, as the texture manager made them.
    EXPECT_EQ(GL_REPEAT, Wrap(across->ImageHandle(0), GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_REPEAT, Wrap(across->ImageHandle(0), GL_TEXTURE_WRAP_T));
    EXPECT_EQ(GL_REPEAT, Wrap(down->ImageHandle(0), GL_TEXTURE_WRAP_T));
}

TEST(OrvObjectImageDraw, RotationTurnsClockwiseAboutTheViewportCentre) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(128, 128, 128, 128);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    // Left half red, right half blue.
    std::vector<unsigned char> rgb;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            std::vector<unsigned char> p = x < 32 ? std::vector<unsigned char>{255, 0, 0}
                                                  : std::vector<unsigned char>{0, 0, 255};
            rgb.insert(rgb.end(), p.begin(), p.end());
        }
    scene.Picture("pic.png", 64, 32, rgb);
    OrvObjectImage* image = scene.Load("box: image pic.png");
    ASSERT_NE(nullptr, image);
    scene.Line("screen");
    image->UpdateParameter(4, 90);
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{48, 32, 80, 96}), scene.Covered(Black));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(64, 40), Red, 4)); // its left side went up
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(64, 88), Blue, 4));

    // Moved right and then turned a quarter clockwise about the viewport centre, it ends up
    // below the centre; turned back a quarter, above it.
    image->UpdateParameter(11, 32);
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{48, 64, 80, 128}), scene.Covered(Black));
    image->UpdateParameter(4, -90);
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{48, 0, 80, 64}), scene.Covered(Black));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(64, 56), Red, 4)); // its left side went down
}

TEST(OrvObjectImageDraw, FrameIsReducedModuloTheNumberOfFiles) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("0.png", 8, 8, 255, 0, 0);
    scene.Solid("1.png", 8, 8, 0, 255, 0);
    scene.Solid("2.png", 8, 8, 0, 0, 255);
    scene.Solid("3.png", 8, 8, 255, 255, 255);
    OrvObjectImage* three = scene.Load("three: image 0.png 1.png 2.png {\n stretch: 1\n}");
    OrvObjectImage* four = scene.Load("four: image 0.png 1.png 2.png 3.png {\n stretch: 1\n}");
    ASSERT_TRUE(three && four);
    ASSERT_EQ(3, three->ImageCount());
    // The same file is one texture, whichever object asks for it.
    EXPECT_EQ(three->ImageHandle(2), four->ImageHandle(2));
    scene.Line("screen");

    struct Case {
        OrvObjectImage* image;
        double value;
        int frame;
        OrvRgba color;
    };
    // Beyond the 64-bit range a frame counts as the range's end: -1e30 as -2^63 (low 32 bits
    // 0), 1e30 as 2^63 - 1 (low 32 bits all set); NaN counts as 0.
    const Case cases[] = {
        {three, 7, 1, Green},           {three, 2.9, 2, Blue},  {three, -0.9, 0, Red},
        {four, -1, 3, White},           {four, -6, 2, Blue},    {four, 4, 0, Red},
        {four, 4294967297.0, 1, Green}, {four, 1e30, 3, White}, {three, -1e30, 0, Red},
        {three, std::nan(""), 0, Red}};
    for (const Case& c : cases) {
        scene.objects.UpdateParameter(0, c.image == three);
        scene.objects.UpdateParameter(1, c.image == four);
        c.image->UpdateParameter(5, c.value);
        EXPECT_EQ(c.frame, c.image->Frame()) << c.value;
        scene.Frame();
        EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), c.color, 4)) << c.value;
    }
}

TEST(OrvObjectImageDraw, BlendModesAgainstTheClearColour) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("white.png", 8, 8, 255, 255, 255);
    OrvObjectImage* image = scene.Load(
        "box: image white.png {\n stretch: 1\n col.r: 1\n col.g: 0.6\n col.b: 0.2\n col.a: 0.5\n}");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(1, image->Blend()); // alpha blending until told otherwise
    scene.Line("screen")->ClearColor().Set(0.4f, 0.2f, 0.6f, 1);

    // The picture is (255, 153, 51) at alpha 0.5 over (102, 51, 153).
    struct Case {
        double value;
        int mode;
        OrvRgba color;
    };
    const Case cases[] = {{1, 1, {178, 102, 102, 0}},  {0, 0, {255, 153, 51, 0}},
                          {2, 2, {229, 127, 178, 0}},  {3, 3, {255, 153, 153, 0}},
                          {4, 0, {255, 153, 51, 0}},   {-1, 0, {255, 153, 51, 0}},
                          {2.7, 2, {229, 127, 178, 0}}};
    for (const Case& c : cases) {
        image->UpdateParameter(8, c.value);
        EXPECT_EQ(c.mode, image->Blend()) << c.value;
        scene.Frame();
        EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), c.color, 2)) << c.value;
    }
}

TEST(OrvObjectImageDraw, MultiTexturingBindsEachFileToItsOwnUnit) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("red.png", 8, 8, 255, 0, 0);
    scene.Solid("blue.png", 8, 8, 0, 0, 255);
    // Red from one sampler's unit, blue from the other's.
    scene.Text("mix.vert", "void main() {\n"
                           "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                           "    gl_Position = ftransform();\n"
                           "}\n");
    scene.Text("mix.frag", "uniform sampler2D first;\n"
                           "uniform sampler2D second;\n"
                           "void main() {\n"
                           "    vec2 st = gl_TexCoord[0].st;\n"
                           "    gl_FragColor = vec4(texture2D(first, st).r, 0.0,\n"
                           "                        texture2D(second, st).b, 1.0);\n"
                           "}\n");
    OrvObjectImage* image = scene.Load("box: image red.png blue.png {\n"
                                       " stretch: 1\n"
                                       " shader: mix\n"
                                       " shaders[0].second: 1\n"
                                       "}");
    ASSERT_NE(nullptr, image);
    ASSERT_NE(0u, image->Shader(0).Handle());
    scene.Line("screen");

    // One texture, the frame's, on unit 0: the second sampler reads an empty unit.
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Red, 4));
    image->UpdateParameter(5, 1);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Black, 4));

    // Every file on its own unit, whatever the frame.
    image->UpdateParameter(7, 0.5); // truncated to 0: still off
    EXPECT_EQ(0, image->MultiTexturing());
    image->UpdateParameter(7, -2);
    EXPECT_EQ(1, image->MultiTexturing());
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), OrvRgba{255, 0, 255, 255}, 4));

    // Both samplers on unit 1 read the blue file.
    ASSERT_TRUE(scene.parameters.AddParameterHold("box.shaders[0].first", 100, 1));
    scene.Frame(100);
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), Blue, 4));
}

TEST(OrvObjectImageDraw, UseShaderStaysWithinTheProgramsItHas) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("grey.png", 8, 8, 128, 128, 128);
    scene.Text("green.frag", "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    scene.Text("pink.frag", "void main() { gl_FragColor = vec4(1.0, 0.0, 1.0, 1.0); }\n");
    OrvObjectImage* image = scene.Load("fx: image grey.png {\n"
                                       " stretch: 1\n"
                                       " shader: green.frag\n"
                                       " shader: pink.frag\n"
                                       "}");
    OrvObjectImage* plain = scene.Load("plain: image grey.png {\n stretch: 1\n}");
    ASSERT_TRUE(image && plain);
    ASSERT_EQ(2, image->ShaderCount());
    EXPECT_EQ(0, image->UseShader()); // the first program once a shader line was read
    EXPECT_EQ(-1, plain->UseShader());
    scene.Line("fxLine", "objects: fx");
    const OrvRgba grey{128, 128, 128, 255};
    const OrvRgba pink{255, 0, 255, 255};

    struct Case {
        double value;
        int chosen;
        OrvRgba color;
    };
    const Case cases[] = {{-1, -1, grey},   {0, 0, Green},    {5, 1, pink},
                          {-3, -3, grey},   {1.9, 1, pink},   {0.9, 0, Green},
                          {-0.5, 0, Green}, {1e300, 1, pink}, {-1e300, -2147483647 - 1, grey}};
    for (const Case& c : cases) {
        image->UpdateParameter(6, c.value);
        EXPECT_EQ(c.chosen, image->UseShader()) << c.value;
        scene.Frame();
        EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), c.color, 4)) << c.value;
    }
    // Without programs no value selects one.
    for (double value : {0.0, 3.0, -2.0}) {
        plain->UpdateParameter(6, value);
        EXPECT_GT(0, plain->UseShader()) << value;
    }
    scene.objects.UpdateParameter(0, 0);
    scene.Line("plainLine", "objects: plain");
    plain->UpdateParameter(6, 3);
    scene.Frame();
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(32, 32), grey, 4));
}

TEST(OrvObjectImageDraw, ShowsWhatAnEarlierRenderLineDrewIntoABuffer) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(128, 128, 128, 128);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Picture("pic.png", 16, 16, RedOverBlue(16, 16));
    OrvObjectImage* source = scene.Load("src: image pic.png {\n stretch: 1\n}");
    OrvObjectImage* view = scene.Load("view: image *glow");
    ASSERT_TRUE(source && view);
    OrvTexture* buffer = scene.context.scene.Textures().Texture(view->ImageHandle(0));
    ASSERT_NE(nullptr, buffer);
    EXPECT_EQ("*glow", buffer->name);
    EXPECT_EQ(0, buffer->width); // no storage until a render line gives it some

    OrvRenderLine* into = scene.Line("into", "output: *glow 64 32\nobjects: src");
    scene.Line("screen", "objects: view");
    EXPECT_EQ(view->ImageHandle(0), into->ColorTexture());

    // The buffer is drawn at its own size, centred, upright: what the first line drew.
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{32, 48, 96, 80}), scene.Covered(Black));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(64, 52), Red, 4));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(64, 76), Blue, 4));
}
