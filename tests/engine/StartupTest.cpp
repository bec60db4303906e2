#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/Startup.h"
#include "engine/WindowSize.h"
#include "platform/Glfw2.h"
#include "tests/support/GLContext.h"
#include "tests/support/MessageRecordingLevel.h"
#include "tests/support/TempDir.h"

namespace {

TEST(WindowRequestSize, MissingSidesFollowTheOldLibrary) {
    // {asked w, h, given w, h}; a side of 0 is never given.
    const int cases[][4] = {{800, 600, 800, 600}, {0, 0, 640, 480}, {-3, -7, 640, 480},
                            {800, 0, 800, 600},   {0, 300, 400, 300}, {1, 0, 1, 1}};
    for (const auto& c : cases) {
        int w = 0, h = 0;
        windowRequestSize(c[0], c[1], w, h);
        EXPECT_EQ(w, c[2]) << c[0] << "x" << c[1];
        EXPECT_EQ(h, c[3]) << c[0] << "x" << c[1];
    }
}

TEST(WindowSizeNote, SaysWhyTheConfiguredSizeIsNotUsed) {
    // The configured sizes that a real run reaches are checked end to end;
    // here the ones the test X server never gives.
    const struct { int w, h, usedW, usedH; const char* note; } cases[] = {
        {800, 600, 800, 600, ""},
        {800, 0, 800, 600,
         "Window size: \"height\" is missing or not a positive number in the configuration, "
         "using 800x600"},
        {2000, 300, 1024, 300, "Window size: 2000x300 is more than the screen or OpenGL allows, using 1024x300"},
        {800, 600, 1024, 768, "Window size: the window opened larger than 800x600, using 1024x768"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowSizeNote(c.w, c.h, c.usedW, c.usedH), c.note) << c.w << "x" << c.h;
}

TEST(SetUpMemory, BigBlocksAreMappedEvenAfterOneWasFreed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's";
#endif
    setUpMemory();
    // Left to itself, the library would serve the second block from the heap
    // once the first (mapped) one was freed.
    for (int round = 0; round < 2; ++round) {
        const size_t mappedBefore = mallinfo2().hblks;
        // Written through volatile, so the compiler keeps the allocation.
        auto* block = static_cast<volatile char*>(std::malloc(400 * 1024));
        block[0] = 1;
        EXPECT_EQ(mallinfo2().hblks, mappedBefore + 1) << "round " << round;
        std::free(const_cast<char*>(block));
    }
}

class StartupGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        resetGlobals();
        while (glGetError() != GL_NO_ERROR) {}
    }
    void TearDown() override {
        glfw2::seam::reset();
        resetGlobals();
        Config::destroy();
        Log::destroy();
    }
    testsupport::TempDir dir;
};

TEST_F(StartupGLTest, OffscreenFramebufferOfTheWindowSize) {
    testing::internal::CaptureStdout();
    createOffscreenFramebuffer(64, 32);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_TRUE(offscreenFramebuffer && offscreenColorTexture && offscreenDepthBuffer);

    glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint depthBits = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(depthBits, 24);

    GLint texture[3] = {0, 0, 0}; // width, height, min filter
    glBindTexture(GL_TEXTURE_2D, offscreenColorTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texture[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texture[1]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &texture[2]);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(std::vector<GLint>(texture, texture + 3), (std::vector<GLint>{64, 32, GL_LINEAR_MIPMAP_LINEAR}));
    // The colour texture is not one of the textures the key commands switch.
    EXPECT_TRUE(textureNames.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StartupGLTest, SizelessFramebufferIsReportedOnStandardOutputOnly) {
    log("");  // opens the log
    testing::internal::CaptureStdout();
    createOffscreenFramebuffer(0, 0);
    const std::string out = testing::internal::GetCapturedStdout();
    glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    ASSERT_NE(status, static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(out, "FBO Error: " + std::to_string(status) + "\n");
    EXPECT_EQ(dir.read("qelm.log"), "");

    // The frames do not clear the unusable framebuffer, so they raise no
    // OpenGL error to report.
    testsupport::MessageRecordingLevel level;
    glfw2::seam::setKey(glfw2::KEY_ESC, true);
    runFrameLoop(&level);
    runFrameLoop(&level);
    EXPECT_EQ(dir.read("qelm.log").find("GL Error"), std::string::npos) << dir.read("qelm.log");
}

// A level that counts its frames.
struct CountingLevel : testsupport::MessageRecordingLevel {
    void onUpdate(float dt) override { ++updates, lastDt = dt; }
    int updates = 0;
    float lastDt = -1.0f;
};

TEST_F(StartupGLTest, FrameLoopStopsAndReportsErrors) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    ASSERT_EQ(alutInit(nullptr, nullptr), AL_TRUE);
    alutCreateBufferFromFile("no-such-sound.wav");  // leaves an ALUT error
    createOffscreenFramebuffer(16, 16);
    CountingLevel level;
    log("");

    // Escape already down: the loop body runs once, and the stop test ends it.
    glfw2::seam::setKey(glfw2::KEY_ESC, true);
    glEnable(0xFFFF);
    runFrameLoop(&level);
    EXPECT_EQ(level.updates, 1);
    EXPECT_GE(level.lastDt, 0.0f);
    EXPECT_LT(level.lastDt, 0.5f);  // the first step of a fresh timer is short
    const std::string text = dir.read("qelm.log");
    EXPECT_NE(text.find("GL Error: GL_INVALID_ENUM\n\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ALUT error: "), std::string::npos) << text;

    // Alt held with F4 stops as well.
    glfw2::seam::setKey(glfw2::KEY_ESC, false);
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    glfw2::seam::setKey(glfw2::KEY_F4, true);
    runFrameLoop(&level);
    EXPECT_EQ(level.updates, 2);
    alutExit();
}

} // namespace
