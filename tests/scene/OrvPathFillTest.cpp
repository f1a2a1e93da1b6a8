// Filling closed outlines through the stencil: concave shapes keep their notches empty, convex
// ones come out exactly as GL_POLYGON draws them, the stencil is left clear, and render
// buffers have the stencil the fill needs.

#include "gfx/OrvPathFill.h"

#include "gfx/OrvFramebuffer.h"
#include "scene/OrvVectorPathSampler.h"
#include "support/OrvAllocationCounter.h"

#include "OrvRenderLineTestScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const OrvRgba kBlack{0, 0, 0, 255};
const OrvRgba kRed{255, 0, 0, 255};

// A U from (10, 10) to (50, 60) whose notch, 20 wide and 40 deep, opens upwards.
const std::vector<float> kU = {10, 10, 50, 10, 50, 60, 40, 60, 40, 20, 20, 20, 20, 60, 10, 60};
const int kUArea = 40 * 50 - 20 * 40;

// Outline of a five-pointed star: tips at `outer`, notches at `inner`, first tip straight up.
std::vector<float> Star(float cx, float cy, float outer, float inner) {
    std::vector<float> xy;
    for (int i = 0; i < 10; ++i) {
        float angle = 1.5707964f + float(i) * 0.62831855f;
        float r = i % 2 ? inner : outer;
        xy.push_back(cx + r * std::cos(angle));
        xy.push_back(cy + r * std::sin(angle));
    }
    return xy;
}

// The point at `radius` from (cx, cy) in the direction of tip `tip` plus `half` half-steps.
OrvRgba PixelToward(const OrvGlTestWindow& window, float cx, float cy, float radius, float tips) {
    float angle = 1.5707964f + tips * 1.2566371f;
    return window.ReadPixel(int(cx + radius * std::cos(angle)), int(cy + radius * std::sin(angle)));
}

void FillAll(const std::vector<std::vector<float>>& outlines) {
    OrvPathFill fill;
    fill.Begin();
    for (const std::vector<float>& xy : outlines)
        fill.Fill(xy.data(), int(xy.size() / 2));
    fill.End();
}

int CountNear(const std::vector<OrvRgba>& pixels, const OrvRgba& color) {
    int count = 0;
    for (const OrvRgba& p : pixels)
        count += OrvRgbNear(p, color, 2) ? 1 : 0;
    return count;
}

// Stencil values of the bound framebuffer that are not 0.
int StencilSet(int width, int height) {
    std::vector<unsigned char> stencil(std::size_t(width) * height, 0xAA);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    int set = 0;
    for (unsigned char value : stencil)
        set += value != 0;
    return set;
}

void PixelProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// An ellipse of four cubic segments, tilted: convex, with no vertex on a pixel's grid.
std::vector<float> Ellipse(float cx, float cy, float rx, float ry) {
    const float k = 0.5522848f; // control distance of a quarter circle
    float c = std::cos(0.3f), s = std::sin(0.3f);
    float pts[13][2] = {{1, 0},   {1, k},   {k, 1},  {0, 1},  {-k, 1}, {-1, k}, {-1, 0},
                        {-1, -k}, {-k, -1}, {0, -1}, {k, -1}, {1, -k}, {1, 0}};
    std::vector<OrvVectorPathSampler::Segment> segments;
    for (int q = 0; q < 4; ++q) {
        float v[8];
        for (int i = 0; i < 4; ++i) {
            float x = pts[3 * q + i][0] * rx, y = pts[3 * q + i][1] * ry;
            v[2 * i] = cx + c * x - s * y;
            v[2 * i + 1] = cy + s * x + c * y;
        }
        segments.push_back({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], 20000});
    }
    int count = OrvVectorPathSampler::PathPointCount(segments.data(), segments.size());
    std::vector<float> xy(2 * std::size_t(count));
    OrvVectorPathSampler::SamplePath(segments.data(), nullptr, segments.size(), 0, xy.data(),
                                     count);
    return xy;
}

} // namespace

TEST(OrvPathFill, ConcaveOutlinesFillOnlyTheirInsideAndLeaveTheStencilClear) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(128, 128);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    ASSERT_GE(bits, 8);
    window.UsePixelProjection();
    window.Clear(0, 0, 0);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1, 0, 0, 1);
    // Culling would drop half of a fan; the fill must not care.
    glEnable(GL_CULL_FACE);
    FillAll({kU, Star(90, 80, 30, 12)});

    // The U: exactly its area, the notch empty (a fan from its first corner would cover it).
    EXPECT_EQ(kUArea, CountNear(window.ReadPixels(0, 0, 56, 128), kRed)); // left of the star
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(30, 40), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(30, 59), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(15, 55), kRed, 2));
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(45, 55), kRed, 2));
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(30, 15), kRed, 2));
    // The star: centre and tips filled, the gaps between the tips empty.
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(90, 80), kRed, 2));
    for (int tip = 0; tip < 5; ++tip) {
        EXPECT_TRUE(OrvRgbNear(PixelToward(window, 90, 80, 24, float(tip)), kRed, 2)) << tip;
        EXPECT_TRUE(OrvRgbNear(PixelToward(window, 90, 80, 24, tip + 0.5f), kBlack, 2)) << tip;
    }
    EXPECT_EQ(0, StencilSet(128, 128));
    // What Begin changed, End restored.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    GLint mask = 0;
    glGetIntegerv(GL_STENCIL_WRITEMASK, &mask);
    EXPECT_EQ(0xFF, mask & 0xFF);
    glDisable(GL_CULL_FACE);

    // A self-crossing pentagram: by the even-odd rule its middle is outside.
    window.Clear(0, 0, 0);
    std::vector<float> pentagram;
    for (int i = 0; i < 5; ++i) {
        float angle = 1.5707964f + float(i) * 2.5132742f;
        pentagram.push_back(64 + 40 * std::cos(angle));
        pentagram.push_back(64 + 40 * std::sin(angle));
    }
    FillAll({pentagram});
    EXPECT_TRUE(OrvRgbNear(window.ReadPixel(64, 64), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(PixelToward(window, 64, 64, 34, 0), kRed, 2));
    EXPECT_EQ(0, StencilSet(128, 128));
}

TEST(OrvPathFill, ConvexOutlinesMatchPolygonPixelForPixelWithoutAllocating) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(128, 128);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    window.UsePixelProjection();
    glDisable(GL_DEPTH_TEST);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    // Half-transparent over green: a pixel drawn twice would show it.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const std::vector<std::vector<float>> shapes = {
        Ellipse(64.3f, 60.7f, 50.2f, 33.9f),
        {3.2f, 100.1f, 40.7f, 90.4f, 60.5f, 125.9f, 10.1f, 127.3f}, // a quadrilateral
        {70.5f, 100.5f, 126.5f, 100.5f, 98.5f, 127.5f}};            // edges through centres
    for (const std::vector<float>& xy : shapes) {
        int count = int(xy.size() / 2);
        window.Clear(0, 1, 0);
        glColor4f(1, 0, 0, 0.5f);
        glBegin(GL_POLYGON);
        for (int i = 0; i < count; ++i)
            glVertex2f(xy[2 * i], xy[2 * i + 1]);
        glEnd();
        std::vector<OrvRgba> polygon = window.ReadPixels(0, 0, 128, 128);

        window.Clear(0, 1, 0);
        OrvPathFill fill;
        fill.Begin();
        fill.Fill(xy.data(), count);
        fill.End();
        EXPECT_TRUE(fill.UsesStencil());
        std::vector<OrvRgba> filled = window.ReadPixels(0, 0, 128, 128);

        int differ = 0, covered = 0;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            differ += OrvRgbNear(filled[i], polygon[i], 1) ? 0 : 1;
            covered += OrvRgbNear(polygon[i], OrvRgba{128, 128, 0, 255}, 2) ? 1 : 0;
        }
        EXPECT_EQ(0, differ) << count << " points";
        EXPECT_GT(covered, 100) << "the shape was drawn at all";
    }

    // Once the driver has seen the state (its first draws compile code), filling allocates
    // nothing.
    unsigned long before = OrvAllocationCount();
    FillAll(shapes);
    EXPECT_EQ(before, OrvAllocationCount());
}

TEST(OrvPathFill, RenderBuffersHaveAStencilThatLinesClear) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvRenderLineTestScene scene(64, 64, 64, 64, 1.0);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    OrvRenderLine* line = scene.AddLine("buffer", {OrvTestNode("output", {"*fill", "64", "64"})});
    OrvRenderLine* depth = scene.AddLine("depth", {OrvTestNode("output", {"*plain", "64", "64"}),
                                                   OrvTestNode("depthOutput", {"*z"})});

    // A line clears the stencil of its buffer with colour and depth.
    line->Framebuffer().Bind();
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    EXPECT_EQ(8, bits);
    glClearStencil(1);
    glClear(GL_STENCIL_BUFFER_BIT);
    glClearStencil(0);
    ASSERT_EQ(64 * 64, StencilSet(64, 64));
    OrvFramebuffer::BindScreen(scene.context.run.Display().screenFramebuffer);
    scene.lines.RenderAll(16);
    line->Framebuffer().Bind();
    EXPECT_EQ(0, StencilSet(64, 64));

    // So the U keeps its notch in a buffer too.
    PixelProjection(64, 64);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glColor4f(1, 0, 0, 1);
    FillAll({kU});
    OrvFramebuffer::BindScreen(scene.context.run.Display().screenFramebuffer);
    EXPECT_TRUE(OrvRgbNear(OrvTexturePixel(line->ColorTexture(), 30, 40), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(OrvTexturePixel(line->ColorTexture(), 15, 40), kRed, 2));

    // A buffer whose depth goes to a texture has no stencil: convex outlines still fill right
    // (a plain fan), instead of the whole bounding box.
    depth->Framebuffer().Bind();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    OrvPathFill fill;
    fill.Begin();
    EXPECT_FALSE(fill.UsesStencil());
    const float triangle[] = {4, 4, 60, 4, 4, 60};
    fill.Fill(triangle, 3);
    fill.End();
    OrvFramebuffer::BindScreen(scene.context.run.Display().screenFramebuffer);
    EXPECT_TRUE(OrvRgbNear(OrvTexturePixel(depth->ColorTexture(), 10, 10), kRed, 2));
    EXPECT_TRUE(OrvRgbNear(OrvTexturePixel(depth->ColorTexture(), 50, 50), kBlack, 2));
}
