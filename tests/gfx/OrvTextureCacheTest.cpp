// The cache: one entry per name, lookups by handle, and "*" textures as render buffers.

#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "gfx/OrvTextureManager.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
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
        context.reset(new OrvTestContext(DataFolder()));
        manager = &context->scene.Textures();
    }
    // The manager deletes its textures while the window's context is still there.
    void TearDown() override { context.reset(); }

    std::string DataFolder() const { return folder.Root() + "/data/"; }
    const std::string& Log() const { return context->diagnostics.Text(); }

    OrvTestFolder folder;
    std::unique_ptr<OrvGlTestWindow> window;
    std::unique_ptr<OrvTestContext> context;
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
    EXPECT_EQ("", Log());
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
    EXPECT_EQ("", Log());
}

TEST_F(OrvTextureCache, ReleaseAllDropsEveryRecordAndDeletesTheTextures) {
    const unsigned old = manager->Texture("*a").handle;
    ASSERT_TRUE(glIsTexture(old));
    manager->ReleaseAll();
    manager->ReleaseAll(); // a second release is harmless
    EXPECT_EQ(0u, manager->Count());
    EXPECT_EQ(nullptr, manager->Texture(old));
    // The manager owned the OpenGL texture: it is gone with the record.
    EXPECT_FALSE(glIsTexture(old));
    // The next request for the name makes a new entry and texture.
    const unsigned renewed = manager->Texture("*a").handle;
    EXPECT_NE(0u, renewed);
    EXPECT_TRUE(glIsTexture(renewed));
    EXPECT_EQ(1u, manager->Count());
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(OrvTextureCache, DestroyingTheManagerDeletesItsTextures) {
    folder.WriteData("pic.png", SolidPng(4, 4, 255, 0, 0));
    unsigned picture = 0, buffer = 0;
    {
        OrvTestContext own(DataFolder());
        picture = own.scene.Textures().Texture("pic.png").handle;
        buffer = own.scene.Textures().InitAsRGBABuffer("*glow", 16, 16).handle;
        ASSERT_TRUE(glIsTexture(picture));
        ASSERT_TRUE(glIsTexture(buffer));
    }
    EXPECT_FALSE(glIsTexture(picture));
    EXPECT_FALSE(glIsTexture(buffer));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(OrvTextureCache, TwoShowsHaveTwoIndependentManagers) {
    // Two scene contexts stand for two shows side by side (a show and its reload).
    folder.WriteData("pic.png", SolidPng(4, 4, 255, 0, 0));
    std::unique_ptr<OrvTestContext> other(new OrvTestContext(DataFolder()));
    OrvTextureManager& second = other->scene.Textures();
    ASSERT_NE(manager, &second);

    // The same names give each manager a texture of its own.
    const OrvTexture& firstPicture = manager->Texture("pic.png");
    // The second show reads the file again: a changed picture is seen.
    folder.WriteData("pic.png", SolidPng(8, 2, 0, 255, 0));
    const OrvTexture& secondPicture = second.Texture("pic.png");
    EXPECT_NE(firstPicture.handle, secondPicture.handle);
    EXPECT_EQ(4, firstPicture.width);
    EXPECT_EQ(8, secondPicture.width);
    const unsigned firstBuffer = manager->Texture("*glow").handle;
    const unsigned secondBuffer = second.Texture("*glow").handle;
    EXPECT_NE(firstBuffer, secondBuffer);
    EXPECT_EQ(2u, manager->Count());
    EXPECT_EQ(2u, second.Count());
    // Handles are looked up in their own manager only.
    EXPECT_EQ(nullptr, manager->Texture(secondPicture.handle));
    EXPECT_EQ(nullptr, second.Texture(firstPicture.handle));

    // Releasing one show leaves the other's textures alone, in both directions.
    const unsigned firstHandle = firstPicture.handle, secondHandle = secondPicture.handle;
    second.ReleaseAll();
    EXPECT_FALSE(glIsTexture(secondHandle));
    EXPECT_FALSE(glIsTexture(secondBuffer));
    EXPECT_TRUE(glIsTexture(firstHandle));
    EXPECT_TRUE(glIsTexture(firstBuffer));
    EXPECT_EQ(2u, manager->Count());
    EXPECT_EQ(4, LevelValue(firstHandle, GL_TEXTURE_WIDTH));

    const unsigned reloaded = second.Texture("pic.png").handle;
    other.reset(); // the second show goes entirely
    EXPECT_FALSE(glIsTexture(reloaded));
    EXPECT_TRUE(glIsTexture(firstHandle));
    EXPECT_EQ(&firstPicture, manager->Texture(firstHandle));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    EXPECT_EQ("", Log());
}

} // namespace
