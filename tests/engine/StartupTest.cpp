// Start-up pieces: the window size, the off-screen framebuffer, the frame
// loop and the OpenGL error report.
#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/GLError.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/Startup.h"
#include "engine/WindowSize.h"
#include "platform/Glfw2.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/MessageRecordingLevel.h"

namespace {

TEST(WindowSize, MissingSidesFollowTheOldLibraryAndTheNoteSaysWhy) {
    // {asked w, h, given w, h}; a side of 0 is never given.
    const int cases[][4] = {{800, 600, 800, 600}, {0, 0, 640, 480}, {-3, -7, 640, 480},
                            {800, 0, 800, 600}, {0, 300, 400, 300}, {1, 0, 1, 1}};
    for (const auto& c : cases) {
        int w = 0, h = 0;
        windowRequestSize(c[0], c[1], w, h);
        EXPECT_EQ(glm::ivec2(w, h), glm::ivec2(c[2], c[3])) << c[0] << "x" << c[1];
    }
    // The sizes a real run reaches are checked end to end; here the ones the
    // test X server never gives.
    const struct { int w, h, usedW, usedH; const char* note; } notes[] = {
        {800, 600, 800, 600, ""},
        {800, 0, 800, 600, "Window size: \"height\" is missing or not a positive number in the configuration, using 800x600"},
        {2000, 300, 1024, 300, "Window size: 2000x300 is more than the screen or OpenGL allows, using 1024x300"},
        {800, 600, 1024, 768, "Window size: the window opened larger than 800x600, using 1024x768"}};
    for (const auto& c : notes) EXPECT_EQ(windowSizeNote(c.w, c.h, c.usedW, c.usedH), c.note) << c.w << "x" << c.h;
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

using StartupGLTest = testsupport::DrawingTest;

// A level that counts its frames.
struct CountingLevel : testsupport::MessageRecordingLevel {
    void onUpdate(float dt) override { ++updates, lastDt = dt; }
    int updates = 0;
    float lastDt = -1.0f;
};

TEST_F(StartupGLTest, FrameLoopStopsAndReportsErrors) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    ASSERT_EQ(alutInit(nullptr, nullptr), AL_TRUE);
    alutCreateBufferFromFile("no-such-sound.wav"); // leaves an ALUT error
    // A framebuffer without a size is reported on standard output only, and
    // the frames do not clear it, so they raise no OpenGL error for it.
    log("");
    testing::internal::CaptureStdout();
    createOffscreenFramebuffer(0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FBO Error: " + std::to_string(GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT) + "\n");
    EXPECT_FALSE(offscreenComplete);
    EXPECT_EQ(scene->dir.read("qelm.log"), "");

    // Escape already down: the loop body runs once, and the stop test ends it.
    CountingLevel level;
    glfw2::seam::setKey(glfw2::KEY_ESC, true);
    runFrameLoop(&level);
    EXPECT_EQ(level.updates, 1);
    EXPECT_TRUE(level.lastDt >= 0.0f && level.lastDt < 0.5f) << "the first step of a fresh timer is short";
    EXPECT_EQ(scene->dir.read("qelm.log").find("GL Error"), std::string::npos) << scene->dir.read("qelm.log");
    EXPECT_NE(scene->dir.read("qelm.log").find("ALUT error: "), std::string::npos) << scene->dir.read("qelm.log");
    // Alt held with F4 stops as well; an error of the frame is reported.
    glfw2::seam::setKey(glfw2::KEY_ESC, false);
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    glfw2::seam::setKey(glfw2::KEY_F4, true);
    glEnable(0xFFFF);
    runFrameLoop(&level);
    EXPECT_EQ(level.updates, 2);
    EXPECT_NE(scene->dir.read("qelm.log").find("GL Error: GL_INVALID_ENUM\n\n"), std::string::npos) << scene->dir.read("qelm.log");
    alutExit();
}

void clearIncompleteFramebuffer() {
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
}

TEST_F(StartupGLTest, EachOpenGLErrorIsNamed) {
    const struct { const char* what; void (*provoke)(); const char* text; } cases[] = {
        {"no error", [] { log(""); }, ""}, // log("") opens the file: empty, not missing
        {"enable of no capability", [] { glEnable(0xFFFF); }, "GL Error: GL_INVALID_ENUM\n\n"},
        {"negative viewport", [] { glViewport(0, 0, -1, -1); }, "GL Error: GL_INVALID_VALUE\n\n"},
        {"glEnd without glBegin", [] { glEnd(); }, "GL Error: GL_INVALID_OPERATION\n\n"},
        {"clear of an incomplete framebuffer", clearIncompleteFramebuffer, "GL Error: GL_INVALID_FRAMEBUFFER_OPERATION\n\n"},
        {"matrix stack underflow", [] { glMatrixMode(GL_MODELVIEW), glPopMatrix(); }, "GL Error: Unknown error.\n\n"}};
    for (const auto& c : cases) {
        c.provoke();
        checkGLError();
        EXPECT_EQ(scene->logText(), c.text) << c.what;
    }
}

} // namespace
