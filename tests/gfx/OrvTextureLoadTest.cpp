// Image files become upright textures with their own colours, through a real OpenGL window.

#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "gfx/OrvTextureManager.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

typedef std::vector<unsigned char> Pixels;

const Pixels red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255}, white = {255, 255, 255},
             yellow = {255, 255, 0};

Pixels With(const Pixels& rgb, unsigned char alpha) {
    Pixels rgba = rgb;
    rgba.push_back(alpha);
    return rgba;
}

// 4 x 4 picture of 2 x 2 quadrants, given top-left, top-right, bottom-left, bottom-right.
Pixels Quadrants(const Pixels& tl, const Pixels& tr, const Pixels& bl, const Pixels& br) {
    Pixels out;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const Pixels& p = y < 2 ? (x < 2 ? tl : tr) : (x < 2 ? bl : br);
            out.insert(out.end(), p.begin(), p.end());
        }
    return out;
}

// Rows of one colour each, top row first.
Pixels Rows(int width, const std::vector<Pixels>& colours) {
    Pixels out;
    for (const Pixels& c : colours) {
        Pixels row = OrvRepeatPixel(c, width);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

OrvRgba Rgb(const Pixels& p) {
    return OrvRgba{p[0], p[1], p[2], 255};
}

std::string Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const OrvException& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

GLint LevelValue(unsigned handle, GLenum what) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, handle);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
    return value;
}

class OrvTextureLoad : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OrvGlTestWindow::DisplayAvailable())
            GTEST_SKIP() << "DISPLAY is not set";
        window.reset(new OrvGlTestWindow(64, 64));
        ASSERT_TRUE(window->IsOpen()) << window->Error();
        context.reset(new OrvTestContext(folder.Root() + "/data/"));
    }
    // The manager deletes its textures while the window's context is still there.
    void TearDown() override { context.reset(); }

    OrvTextureManager& Textures() { return context->scene.Textures(); }
    const std::string& Log() const { return context->diagnostics.Text(); }

    // Draws the texture over the whole window, on the given background, blending by alpha.
    // A shift of -0.5 puts texel centres of a 4-texel side on pixel centres 7, 23, 39, 55.
    void DrawOver(unsigned handle, float r, float g, float b, float shift = 0) {
        window->UsePixelProjection();
        window->Clear(r, g, b);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        window->DrawTexturedQuad(handle, shift, shift, 64 + shift, 64 + shift);
        glDisable(GL_BLEND);
    }

    void ExpectQuadrants(unsigned handle, const OrvRgba& tl, const OrvRgba& tr, const OrvRgba& bl,
                         const OrvRgba& br, int tolerance) {
        DrawOver(handle, 0, 0, 1);
        // Quadrant centres fall between two texels of the same colour, so linear
        // filtering keeps the colour exact. y counts from the bottom.
        EXPECT_TRUE(OrvRgbNear(window->ReadPixel(16, 48), tl, tolerance)) << "top left";
        EXPECT_TRUE(OrvRgbNear(window->ReadPixel(48, 48), tr, tolerance)) << "top right";
        EXPECT_TRUE(OrvRgbNear(window->ReadPixel(16, 16), bl, tolerance)) << "bottom left";
        EXPECT_TRUE(OrvRgbNear(window->ReadPixel(48, 16), br, tolerance)) << "bottom right";
    }

    OrvTestFolder folder;
    std::unique_ptr<OrvGlTestWindow> window;
    std::unique_ptr<OrvTestContext> context;
};

TEST_F(OrvTextureLoad, RgbPngStandsUprightWithItsColours) {
    folder.WriteData("quad.png", OrvMakePng(4, 4, 3, Quadrants(red, green, blue, white)));
    const OrvTexture& texture = Textures().Texture("quad.png");
    EXPECT_EQ("quad.png", texture.name);
    EXPECT_EQ(4, texture.width);
    EXPECT_EQ(4, texture.height);
    ASSERT_NE(0u, texture.handle);
    EXPECT_TRUE(glIsTexture(texture.handle));
    EXPECT_EQ(0, LevelValue(texture.handle, GL_TEXTURE_ALPHA_SIZE));
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(GL_LINEAR_MIPMAP_LINEAR, minFilter);
    // The whole mipmap chain is there, down to 1 x 1.
    GLint smallest = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &smallest);
    EXPECT_EQ(1, smallest);

    ExpectQuadrants(texture.handle, Rgb(red), Rgb(green), Rgb(blue), Rgb(white), 2);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    EXPECT_EQ("", Log());
}

TEST_F(OrvTextureLoad, RgbaPngKeepsItsAlpha) {
    folder.WriteData("alpha.png", OrvMakePng(4, 4, 4,
                                             Quadrants(With(red, 255), With(red, 128), With(red, 0),
                                                       With(green, 255))));
    const OrvTexture& texture = Textures().Texture("alpha.png");
    EXPECT_EQ(4, texture.width);
    EXPECT_EQ(4, texture.height);
    EXPECT_GT(LevelValue(texture.handle, GL_TEXTURE_ALPHA_SIZE), 0);
    // Over a blue background: opaque red, half red, nothing, opaque green.
    ExpectQuadrants(texture.handle, OrvRgba{255, 0, 0, 255}, OrvRgba{128, 0, 127, 255},
                    OrvRgba{0, 0, 255, 255}, OrvRgba{0, 255, 0, 255}, 3);
}

TEST_F(OrvTextureLoad, BmpAndTgaKeepRedAndBlueApart) {
    // Both formats store B, G, R; the picture must still show red as red.
    Pixels picture = Quadrants(red, green, blue, white);
    Pixels pictureWithAlpha =
        Quadrants(With(red, 255), With(green, 255), With(blue, 255), With(white, 255));
    folder.WriteData("quad.bmp", OrvMakeBmp(4, 4, picture));
    folder.WriteData("quad.tga", OrvMakeTga(4, 4, 3, picture, false));
    folder.WriteData("quad32.TGA", OrvMakeTga(4, 4, 4, pictureWithAlpha, true));
    for (const char* name : {"quad.bmp", "quad.tga", "quad32.TGA"}) {
        SCOPED_TRACE(name);
        const OrvTexture& texture = Textures().Texture(name);
        EXPECT_EQ(4, texture.width);
        EXPECT_EQ(4, texture.height);
        ExpectQuadrants(texture.handle, Rgb(red), Rgb(green), Rgb(blue), Rgb(white), 2);
    }
    EXPECT_EQ(3u, Textures().Count());
}

TEST_F(OrvTextureLoad, RowsOfOddLengthArePackedAndUpright) {
    // 3 pixels of 3 bytes: the decoded surfaces pad every row to 12 bytes.
    Pixels picture = Rows(3, {red, green, blue, yellow});
    folder.WriteData("odd.png", OrvMakePng(3, 4, 3, picture));
    folder.WriteData("odd.bmp", OrvMakeBmp(3, 4, picture));
    folder.WriteData("odd.tga", OrvMakeTga(3, 4, 3, picture, false));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (const char* name : {"odd.png", "odd.bmp", "odd.tga"}) {
        SCOPED_TRACE(name);
        const OrvTexture& texture = Textures().Texture(name);
        EXPECT_EQ(3, texture.width);
        EXPECT_EQ(4, texture.height);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(4, alignment) << "the unpack alignment is restored";
        // The picture keeps its own size; the mipmap chain still reaches 1 x 1.
        EXPECT_EQ(3, LevelValue(texture.handle, GL_TEXTURE_WIDTH));
        EXPECT_EQ(4, LevelValue(texture.handle, GL_TEXTURE_HEIGHT));
        GLint smallest = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_HEIGHT, &smallest);
        EXPECT_EQ(1, smallest);
        DrawOver(texture.handle, 0, 0, 0, -0.5f);
        const OrvRgba bottomUp[] = {Rgb(yellow), Rgb(blue), Rgb(green), Rgb(red)};
        for (int row = 0; row < 4; ++row)
            for (int x : {4, 32, 60})
                EXPECT_TRUE(OrvRgbNear(window->ReadPixel(x, 7 + 16 * row), bottomUp[row], 2))
                    << "row " << row << " from the bottom, x " << x;
    }
}

TEST_F(OrvTextureLoad, JpegLoadsAsRgb) {
    folder.WriteData("plain.jpg", OrvSmallJpeg());
    folder.WriteData("progressive.jpeg", OrvSmallProgressiveJpeg());
    for (const char* name : {"plain.jpg", "progressive.jpeg"}) {
        SCOPED_TRACE(name);
        const OrvTexture& texture = Textures().Texture(name);
        EXPECT_EQ(16, texture.width);
        EXPECT_EQ(8, texture.height);
        EXPECT_EQ(0, LevelValue(texture.handle, GL_TEXTURE_ALPHA_SIZE));
        DrawOver(texture.handle, 0, 1, 0);
        // Lossy: the halves are red and blue within JPEG's error.
        EXPECT_TRUE(OrvRgbNear(window->ReadPixel(12, 32), OrvRgba{255, 0, 0, 255}, 24));
        EXPECT_TRUE(OrvRgbNear(window->ReadPixel(52, 32), OrvRgba{0, 0, 255, 255}, 24));
    }
}

TEST_F(OrvTextureLoad, PalettedAndGreyImagesAreRefusedWithWhatToDo) {
    folder.WriteData("palette.bmp", OrvMakePalettedBmp(2, 2, {255, 0, 0, 0, 0, 255}, {0, 1, 1, 0}));
    folder.WriteData("grey.png", OrvMakePng(2, 2, 1, {0, 80, 160, 255}));
    folder.WriteData("one.gif", OrvSmallGif());
    const struct {
        const char* name;
        const char* why;
    } cases[] = {
        {"palette.bmp", "it is paletted"},
        {"grey.png", "it is greyscale"},
        {"one.gif", "it is a GIF, which is paletted"},
    };
    OrvTextureManager* manager = &Textures();
    for (const auto& c : cases) {
        std::string expected = std::string("The image is not truecolor: ") + c.name + " (" + c.why +
                               ": save it as 24- or 32-bit colour)";
        EXPECT_EQ(expected, Raised([&] { manager->Texture(c.name); }));
        // No entry was left behind: asking again fails the same way.
        EXPECT_EQ(expected, Raised([&] { manager->Texture(c.name); }));
    }
    EXPECT_EQ(0u, manager->Count());
    EXPECT_EQ("", Log());
}

TEST_F(OrvTextureLoad, MissingFilesAreRefusedByName) {
    mkdir(folder.DataPath("folder").c_str(), 0755);
    folder.WriteData("empty.png", "");
    OrvTextureManager* manager = &Textures();
    for (const char* name : {"nothere.png", "", "folder", "empty.png", "../bin"})
        EXPECT_EQ(std::string("Could not load image file: ") + name,
                  Raised([&] { manager->Texture(name); }));
    EXPECT_EQ(0u, manager->Count());
    EXPECT_EQ("", Log());
}

} // namespace
