#include "support/OrvGlTestWindow.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>

std::ostream& operator<<(std::ostream& out, const OrvRgba& color) {
    return out << "(" << color.r << ", " << color.g << ", " << color.b << ", " << color.a << ")";
}

namespace {

::testing::AssertionResult Near(const OrvRgba& actual, const OrvRgba& expected, int tolerance,
                                bool withAlpha) {
    bool near = std::abs(actual.r - expected.r) <= tolerance &&
                std::abs(actual.g - expected.g) <= tolerance &&
                std::abs(actual.b - expected.b) <= tolerance &&
                (!withAlpha || std::abs(actual.a - expected.a) <= tolerance);
    if (near)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << actual << " is not within " << tolerance
                                         << " of " << expected << (withAlpha ? "" : " (rgb)");
}

} // namespace

::testing::AssertionResult OrvRgbNear(const OrvRgba& actual, const OrvRgba& expected,
                                      int tolerance) {
    return Near(actual, expected, tolerance, false);
}

::testing::AssertionResult OrvRgbaNear(const OrvRgba& actual, const OrvRgba& expected,
                                       int tolerance) {
    return Near(actual, expected, tolerance, true);
}

bool OrvGlTestWindow::DisplayAvailable() {
    const char* display = std::getenv("DISPLAY");
    return display && display[0] != '\0';
}

OrvGlTestWindow::OrvGlTestWindow(int width, int height)
    : width(width), height(height), open(false) {
    if (!DisplayAvailable()) {
        error = "DISPLAY is not set";
        return;
    }
    OrvGlWindow::Request request;
    request.width = width;
    request.height = height;
    request.vsync = false;
    request.caption = "OrvGlTestWindow";
    if (!window.Open(request)) {
        error = window.Error();
        return;
    }
    open = true;
}

OrvGlTestWindow::~OrvGlTestWindow() {
    window.Close();
}

bool OrvGlTestWindow::HasAlpha() const {
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    return bits > 0;
}

void OrvGlTestWindow::UsePixelProjection() {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void OrvGlTestWindow::Clear(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void OrvGlTestWindow::DrawTexturedQuad(unsigned texture, float x0, float y0, float x1, float y1) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(1, 0);
    glVertex2f(x1, y0);
    glTexCoord2f(1, 1);
    glVertex2f(x1, y1);
    glTexCoord2f(0, 1);
    glVertex2f(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

OrvRgba OrvGlTestWindow::ReadPixel(int x, int y) const {
    return ReadPixels(x, y, 1, 1)[0];
}

std::vector<OrvRgba> OrvGlTestWindow::ReadPixels(int x, int y, int w, int h) const {
    std::vector<unsigned char> bytes(std::size_t(w) * h * 4);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<OrvRgba> pixels(std::size_t(w) * h);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = OrvRgba{bytes[i * 4], bytes[i * 4 + 1], bytes[i * 4 + 2], bytes[i * 4 + 3]};
    return pixels;
}

bool OrvGlTestWindow::SavePpm(const std::string& path) const {
    std::vector<OrvRgba> pixels = ReadPixels(0, 0, width, height);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) // PPM rows run top to bottom
        for (int x = 0; x < width; ++x) {
            const OrvRgba& p = pixels[std::size_t(y) * width + x];
            unsigned char rgb[3] = {static_cast<unsigned char>(p.r),
                                    static_cast<unsigned char>(p.g),
                                    static_cast<unsigned char>(p.b)};
            std::fwrite(rgb, 1, 3, file);
        }
    return std::fclose(file) == 0;
}

void OrvGlTestWindow::Swap() {
    window.Swap();
}
