#ifndef ORV_TESTS_SUPPORT_ORVGLTESTWINDOW_H
#define ORV_TESTS_SUPPORT_ORVGLTESTWINDOW_H

// A real OpenGL window for tests: the platform's OpenGL window (OrvGlWindow, on the X display:
// 8 bits per colour channel, double-buffered, a depth buffer, 8 stencil bits), so engine code
// that draws, creates textures, framebuffers or shaders runs exactly as in the show. Under
// Xvfb this is Mesa's software renderer; the test command runs every test program inside
// xvfb-run.
//
// Use:
//     TEST(OrvSomething, DrawsRed) {
//         ORV_SKIP_WITHOUT_DISPLAY();
//         OrvGlTestWindow window(64, 64);
//         ASSERT_TRUE(window.IsOpen()) << window.Error();
//         window.UsePixelProjection();          // one unit per pixel, origin bottom-left
//         window.Clear(0, 0, 0);
//         ... draw ...
//         EXPECT_TRUE(OrvRgbNear(window.ReadPixel(10, 20), OrvRgba{255, 0, 0, 255}, 2));
//     }
//
// Rules:
// - One window at a time is the rule of thumb: the context is made current when it opens.
//   Each gtest case runs in its own process under ctest, so each test may open its own.
// - Read pixels before Swap(): ReadPixel and ReadPixels read the back buffer, which the
//   software renderer keeps private even when windows of tests running side by side overlap
//   on the virtual screen. Pixel coordinates are OpenGL's: (0, 0) is the bottom-left pixel.
// - Whether the framebuffer keeps alpha depends on the visual; compare colours with OrvRgbNear
//   unless HasAlpha() says so.
// - To guard code that may hang or crash, fork first (OrvChildProcess) and open the window inside
//   the child: a child must not use an X connection opened by its parent.
//
// The destructor closes the window; OpenGL objects made in the window end with it.

#include "platform/OrvGlWindow.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// One pixel read back, 0 to 255 per channel.
struct OrvRgba {
    int r;
    int g;
    int b;
    int a;
};

std::ostream& operator<<(std::ostream& out, const OrvRgba& color);

// Colour channels (r, g, b) each within tolerance; alpha is not compared.
::testing::AssertionResult OrvRgbNear(const OrvRgba& actual, const OrvRgba& expected,
                                      int tolerance);
// All four channels within tolerance.
::testing::AssertionResult OrvRgbaNear(const OrvRgba& actual, const OrvRgba& expected,
                                       int tolerance);

class OrvGlTestWindow {
public:
    // True when DISPLAY names an X display; GL tests skip when it does not.
    static bool DisplayAvailable();

    // Opens the window; check IsOpen() before drawing.
    OrvGlTestWindow(int width = 64, int height = 64);
    ~OrvGlTestWindow();
    OrvGlTestWindow(const OrvGlTestWindow&) = delete;
    OrvGlTestWindow& operator=(const OrvGlTestWindow&) = delete;

    // True once the window is open and OpenGL 2.0 is there.
    bool IsOpen() const { return open; }
    // Why it did not open.
    const std::string& Error() const { return error; }
    int Width() const { return width; }
    int Height() const { return height; }
    bool HasAlpha() const;

    // Viewport over the whole window; projection glOrtho(0, width, 0, height, -1, 1) and an
    // identity model-view, so vertex (x, y) lands on pixel (x, y).
    void UsePixelProjection();
    // Clears colour and depth.
    void Clear(float r, float g, float b, float a = 1.0f);
    // A white quad from (x0, y0) to (x1, y1) in the current projection with the texture
    // stretched over it: texture coordinate (0, 0) at (x0, y0), (1, 1) at (x1, y1).
    // Enables GL_TEXTURE_2D for the quad only.
    void DrawTexturedQuad(unsigned texture, float x0, float y0, float x1, float y1);

    OrvRgba ReadPixel(int x, int y) const;
    // w x h pixels from (x, y), bottom row first, each row left to right.
    std::vector<OrvRgba> ReadPixels(int x, int y, int w, int h) const;
    // Writes the whole back buffer as a binary PPM picture (for looking at a failure).
    bool SavePpm(const std::string& path) const;

    void Swap();

private:
    OrvGlWindow window;
    int width;
    int height;
    bool open;
    std::string error;
};

// Skips the current test when no X display is there.
#define ORV_SKIP_WITHOUT_DISPLAY()                                                                 \
    do {                                                                                           \
        if (!OrvGlTestWindow::DisplayAvailable())                                                  \
            GTEST_SKIP() << "DISPLAY is not set: no OpenGL window can be opened";                  \
    } while (0)

#endif
