#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/GLError.h"
#include "engine/Log.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

namespace {

// Runs checkGLError in a fresh directory and reads what it logged.
class GLErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        while (glGetError() != GL_NO_ERROR) {}
    }
    void TearDown() override {
        while (glGetError() != GL_NO_ERROR) {}
        Log::destroy();
    }
    std::string logged() {
        Log::destroy();
        return dir.read("qelm.log");
    }
    testsupport::TempDir dir;
};

void clearIncompleteFramebuffer() {
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
}

void overflowMatrixStack() {
    GLint depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth);
    glMatrixMode(GL_MODELVIEW);
    for (GLint i = 0; i < depth; ++i) glPushMatrix(); // one more than fits
    for (GLint i = 0; i < depth - 1; ++i) glPopMatrix();
}

TEST_F(GLErrorTest, EachProvokedErrorIsNamedAndNoErrorWritesNothing) {
    struct Case {
        const char* what;
        void (*provoke)();
        const char* text;
    };
    const Case cases[] = {
        {"no error", [] { log(""); }, ""}, // log("") opens the file: empty, not missing
        {"enable of no capability", [] { glEnable(0xFFFF); }, "GL Error: GL_INVALID_ENUM\n\n"},
        {"negative viewport", [] { glViewport(0, 0, -1, -1); }, "GL Error: GL_INVALID_VALUE\n\n"},
        {"glEnd without glBegin", [] { glEnd(); }, "GL Error: GL_INVALID_OPERATION\n\n"},
        {"clear of an incomplete framebuffer", clearIncompleteFramebuffer,
         "GL Error: GL_INVALID_FRAMEBUFFER_OPERATION\n\n"},
        {"matrix stack underflow", [] { glMatrixMode(GL_MODELVIEW), glPopMatrix(); }, "GL Error: Unknown error.\n\n"},
        {"matrix stack overflow", overflowMatrixStack, "GL Error: Unknown error.\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Log::destroy(); // the next message truncates the file again
        c.provoke();
        checkGLError();
        EXPECT_EQ(logged(), c.text);
    }
}

TEST_F(GLErrorTest, OneErrorPerCall) {
    // Two errors raised before one check: the first call reports only the
    // first. Mesa keeps a single error flag and drops the second; drivers
    // with one flag per code hand it to the next call.
    glEnable(0xFFFF);
    glViewport(0, 0, -1, -1);
    checkGLError();
    EXPECT_EQ(dir.read("qelm.log"), "GL Error: GL_INVALID_ENUM\n\n");
    checkGLError();
    const std::string afterSecond = dir.read("qelm.log");
    EXPECT_TRUE(afterSecond == "GL Error: GL_INVALID_ENUM\n\n" ||
                afterSecond == "GL Error: GL_INVALID_ENUM\n\nGL Error: GL_INVALID_VALUE\n\n")
        << afterSecond;
    checkGLError(); // nothing is left
    EXPECT_EQ(dir.read("qelm.log"), afterSecond);
    // Errors of two successive frames are both reported, in order.
    glViewport(0, 0, -1, -1);
    checkGLError();
    glEnd();
    checkGLError();
    EXPECT_EQ(logged(), afterSecond + "GL Error: GL_INVALID_VALUE\n\nGL Error: GL_INVALID_OPERATION\n\n");
}

} // namespace
