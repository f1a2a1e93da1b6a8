#include "gfx/OrvGlState.h"

#include "support/OrvGlTestWindow.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

namespace {

// A 2 x 1 texture: red on the left, blue on the right.
unsigned RedBlueTexture(bool repeat) {
    const unsigned char pixels[] = {255, 0, 0, 255, 0, 0, 255, 255};
    GLuint handle = 0;
    glGenTextures(1, &handle);
    OrvGlState::BindTexture(handle);
    OrvGlState::SetSampling(false, repeat);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    return handle;
}

const OrvRgba Red{255, 0, 0, 255};
const OrvRgba Blue{0, 0, 255, 255};

} // namespace

// The pixel-space quad puts texture coordinate s = 0 on the left and, drawn over twice the
// picture's width, shows the picture again with repeat, or its edge pixels with clamp.
TEST(OrvGlState, PixelQuadWithRepeatOrClampedTexture) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 16);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    glViewport(0, 0, 64, 16);
    window.Clear(0, 0, 0);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);

    for (bool repeat : {true, false}) {
        unsigned texture = RedBlueTexture(repeat);
        OrvGlState::BeginPixelSpace(64, 16);
        // Pixel space has y downwards: the quad fills the top half of the window.
        OrvGlState::DrawQuad(0, 0, 64, 8, 0, 0, 2, 1);
        OrvGlState::EndPixelSpace();
        // OpenGL rows count from the bottom: the top half is rows 8 to 15.
        // Texel centres lie at a quarter and three quarters of each copy (filtering is linear).
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(8, 12), Red, 10)) << repeat;
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(24, 12), Blue, 10)) << repeat;
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(40, 12), repeat ? Red : Blue, 10)) << repeat;
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(56, 12), Blue, 10)) << repeat;
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(36, 3), OrvRgba{0, 0, 0, 255}, 2)) << repeat;
        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(GL_MODELVIEW, matrixMode);
        glDeleteTextures(1, &texture);
    }
}

// Each blend mode combines a half-transparent grey quad with a dark red background as its
// name says.
TEST(OrvGlState, BlendModes) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(8, 8);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    struct Case {
        int mode;
        OrvRgba expected;
    } cases[] = {
        {OrvGlState::BlendOff, {128, 128, 128, 255}}, // the quad's colour replaces
        {OrvGlState::BlendAlpha, {128, 64, 64, 255}}, // half of each
        {OrvGlState::BlendAdd, {192, 64, 64, 255}},   // background + half the quad
        {OrvGlState::BlendMax, {128, 128, 128, 255}}, // per channel the larger
        {7, {128, 128, 128, 255}},                    // an unknown number is off
    };
    for (const Case& c : cases) {
        window.UsePixelProjection();
        window.Clear(0.5f, 0, 0);
        OrvGlState::SetBlend(c.mode);
        glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
        OrvGlState::DrawQuad(0, 0, 8, 8, 0, 0, 1, 1);
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(4, 4), c.expected, 3)) << c.mode;
    }
    OrvGlState::SetBlend(OrvGlState::BlendOff);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}
