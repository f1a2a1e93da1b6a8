// The cache: one entry per name, lookups by handle, and "*" textures as render buffers.

#include "base/OrvException.h"
#include "base/OrvErrorLog.h"
#include "gfx/OrvTextureManager.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::string SolidPng(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    return OrvMakePng(width, height, 3, OrvRepeatPixel({r, g, b}, width * height));
}

GLint LevelValue(unsigned handle, GLenum what) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, handle);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
    return value;
}

GLint Parameter(unsigned handle, GLenum what) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, handle);
    glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    return value;
}

class OrvTextureCache : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OrvGlTestWindow::DisplayAvailable())
            GTEST_SKIP() << "DISPLAY is not set";
        window.reset(new OrvGlTestWindow(64, 64));
        ASSERT_TRUE(window->IsOpen()) << window->Error();
        manager = OrvTextureManager::Instance();
    }
    void TearDown() override { OrvTextureManager::Free(); }

    OrvTestFolder folder;
    std::unique_ptr<OrvGlTestWindow> window;
    OrvTextureManager* manager = nullptr;
};

TEST_F(OrvTextureCache, SameNameGivesTheSameEntryAndOneTexture) {
    folder.WriteData("pic.png", SolidPng(4, 4, 255, 0, 0));
    OrvTexture& first = manager->Texture("pic.png");
    // The file is read only once: changing it afterwards changes nothing.
    folder.WriteData("pic.png", SolidPng(8, 8, 0, 255, 0));
    OrvTexture& second = manager->Texture("pic.png");
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.handle, second.handle);
    EXPECT_EQ(4, second.width);
    EXPECT_EQ(1u, manager->Count());

    EXPECT_EQ(&first, manager->Texture(first.handle));
    EXPECT_EQ(nullptr, manager->Texture(first.handle + 1000u));
    EXPECT_EQ(nullptr, manager->Texture(0u));

    // Entries handed out stay where they are while many more are created.
    const unsigned handle = first.handle;
    for (int i = 0; i < 200; ++i)
        manager->Texture("*buffer" + std::to_string(i));
    EXPECT_EQ(201u, manager->Count());
    EXPECT_EQ(&first, manager->Texture(handle));
    EXPECT_EQ("pic.png", first.name);
    EXPECT_EQ("", OrvErrorLog::Text());
}

TEST_F(OrvTextureCache, NamesDifferingInCaseAreTwoTextures) {
    folder.WriteData("pic.png", SolidPng(4, 4, 255, 0, 0));
    folder.WriteData("Pic.png", SolidPng(2, 8, 0, 255, 0));
    const OrvTexture lower = manager->Texture("pic.png");
    const OrvTexture upper = manager->Texture("Pic.png");
    EXPECT_NE(lower.handle, upper.handle);
    EXPECT_EQ(4, lower.width);
    EXPECT_EQ(2, upper.width);
    EXPECT_EQ(8, upper.height);
    EXPECT_EQ(2u, manager->Count());
    // "*glow" and "*Glow" likewise.
    EXPECT_NE(manager->Texture("*glow").handle, manager->Texture("*Glow").handle);
}

TEST_F(OrvTextureCache, StarTextureIsEmptyUntilARenderBufferSizesIt) {
    const OrvTexture empty = manager->Texture("*glow");
    EXPECT_EQ("*glow", empty.name);
    EXPECT_EQ(0, empty.width);
    EXPECT_EQ(0, empty.height);
    ASSERT_NE(0u, empty.handle);
    EXPECT_TRUE(glIsTexture(empty.handle));
    EXPECT_EQ(0, LevelValue(empty.handle, GL_TEXTURE_WIDTH)); // no storage yet
    EXPECT_EQ(GL_LINEAR, Parameter(empty.handle, GL_TEXTURE_MIN_FILTER));
    EXPECT_EQ(GL_LINEAR, Parameter(empty.handle, GL_TEXTURE_MAG_FILTER));
    EXPECT_EQ(GL_REPEAT, Parameter(empty.handle, GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_REPEAT, Parameter(empty.handle, GL_TEXTURE_WRAP_T));

    const OrvTexture& buffer = manager->InitAsRGBABuffer("*glow", 256, 128);
    EXPECT_EQ(empty.handle, buffer.handle);
    EXPECT_EQ(256, buffer.width);
    EXPECT_EQ(128, buffer.height);
    EXPECT_EQ(1u, manager->Count());
    EXPECT_EQ(256, LevelValue(buffer.handle, GL_TEXTURE_WIDTH));
    EXPECT_EQ(128, LevelValue(buffer.handle, GL_TEXTURE_HEIGHT));
    EXPECT_EQ(GL_RGBA, LevelValue(buffer.handle, GL_TEXTURE_INTERNAL_FORMAT));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    // Later lookups, by name or handle, see the size.
    EXPECT_EQ(256, manager->Texture("*glow").width);
    EXPECT_EQ(128, manager->Texture(buffer.handle)->height);

    // The buffer takes rendering: a framebuffer with it attached is complete and clears red.
    GLuint framebuffer = 0;
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                              buffer.handle, 0);
    EXPECT_EQ(GLenum(GL_FRAMEBUFFER_COMPLETE_EXT), glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT));
    glViewport(0, 0, 256, 128);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    std::vector<unsigned char> texels(256 * 128 * 4);
    glBindTexture(GL_TEXTURE_2D, buffer.handle);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(255, texels[0]);
    EXPECT_EQ(0, texels[1]);
    EXPECT_EQ(255, texels[texels.size() - 4]);
}

TEST_F(OrvTextureCache, DepthBufferGetsDepthStorage) {
    const OrvTexture& depth = manager->InitAsDepthBuffer("*depth", 64, 32);
    EXPECT_EQ("*depth", depth.name);
    EXPECT_EQ(64, depth.width);
    EXPECT_EQ(32, depth.height);
    EXPECT_EQ(64, LevelValue(depth.handle, GL_TEXTURE_WIDTH));
    EXPECT_EQ(32, LevelValue(depth.handle, GL_TEXTURE_HEIGHT));
    EXPECT_GT(LevelValue(depth.handle, GL_TEXTURE_DEPTH_SIZE), 0);
    EXPECT_EQ(0, LevelValue(depth.handle, GL_TEXTURE_RED_SIZE));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    EXPECT_EQ(1u, manager->Count());
}

TEST_F(OrvTextureCache, BufferNamedWithoutStarLoadsTheImageFirst) {
    folder.WriteData("pic.png", SolidPng(4, 4, 255, 0, 0));
    const OrvTexture& buffer = manager->InitAsRGBABuffer("pic.png", 32, 16);
    EXPECT_EQ(32, buffer.width);
    EXPECT_EQ(16, buffer.height);
    EXPECT_EQ(32, LevelValue(buffer.handle, GL_TEXTURE_WIDTH));
    EXPECT_EQ(GL_LINEAR, Parameter(buffer.handle, GL_TEXTURE_MIN_FILTER));
    EXPECT_EQ(1u, manager->Count());

    std::string message;
    try {
        manager->InitAsRGBABuffer("nobuffer", 32, 16);
    } catch (const OrvException& e) {
        message = e.Message();
    }
    EXPECT_EQ("Could not load image file: nobuffer", message);
    EXPECT_EQ(1u, manager->Count());
    EXPECT_EQ("", OrvErrorLog::Text());
}

TEST_F(OrvTextureCache, FreeDropsEveryRecord) {
    const unsigned old = manager->Texture("*a").handle;
    OrvTextureManager::Free();
    OrvTextureManager::Free(); // a second Free is harmless
    manager = OrvTextureManager::Instance();
    EXPECT_EQ(0u, manager->Count());
    EXPECT_EQ(nullptr, manager->Texture(old));
    // The old OpenGL texture lives on with the context, so the new one gets another name.
    EXPECT_TRUE(glIsTexture(old));
    EXPECT_NE(old, manager->Texture("*a").handle);
}

} // namespace
