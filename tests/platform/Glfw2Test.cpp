// The window layer on a real GLFW 3 under Xvfb, with hidden windows.
#include "platform/Glfw2.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using KeyEvents = std::vector<std::pair<int, int>>;
KeyEvents gKeyEvents;
void recordKey(int key, int action) { gKeyEvents.emplace_back(key, action); }

// Red of the lower-left pixel of the back buffer at each call.
std::vector<int> gRedBeforeSwap;
void readBeforeSwap() {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    gRedBeforeSwap.push_back(rgba[0]);
}

class Glfw2Test : public ::testing::Test {
protected:
    void SetUp() override {
        glfw2::seam::reset();
        gKeyEvents.clear();
        ASSERT_EQ(glfw2::init(), 1) << "no display: run under Xvfb";
        glfw2::seam::setHiddenWindows(true);
    }
    void TearDown() override {
        glfw2::setKeyCallback(nullptr);
        glfw2::terminate();
        glfw2::seam::reset();
    }
    static int open(int w = 160, int h = 120) {
        return glfw2::openWindow(w, h, 0, 0, 0, 0, 24, 8, glfw2::WINDOW);
    }
};

TEST_F(Glfw2Test, WindowLifecycle) {
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    const int badSizes[][2] = {{0, 120}, {160, 0}, {-5, 120}};
    for (const auto& size : badSizes) EXPECT_EQ(open(size[0], size[1]), 0) << size[0] << "x" << size[1];
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    int size[2] = {-1, -1};
    glfw2::getWindowSize(&size[0], &size[1]);
    EXPECT_EQ(size[0] + size[1], 0) << "no window, no size";
    glfw2::VidMode desktop{};
    glfw2::getDesktopMode(&desktop);
    EXPECT_GT(desktop.width, 160);
    EXPECT_GT(desktop.height, 120);
    glfw2::openWindowHint(glfw2::WINDOW_NO_RESIZE, 1);
    ASSERT_EQ(open(), 1);
    glfw2::getWindowSize(&size[0], &size[1]);
    EXPECT_EQ(size[0], 160);
    EXPECT_EQ(size[1], 120);
    EXPECT_EQ(open(), 0); // one window at a time
    glfw2::setWindowTitle("Vantorra");
    glfw2::setWindowTitle(nullptr);
    for (int i = 0; i < 3; ++i) glfw2::swapBuffers();
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 1);
    EXPECT_EQ(glfw2::getWindowParam(0), 0);
    glfw2::terminate();
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    glfw2::swapBuffers(); // no window: nothing to do
    // Not started: nothing works, nothing crashes.
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(glfw2::getTime(), 0.0);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_ESC), glfw2::RELEASE);
    EXPECT_EQ(glfw2::getJoystickParam(0, glfw2::PRESENT), 0);
    // The library can be started again after a shutdown.
    ASSERT_EQ(glfw2::init(), 1);
    EXPECT_EQ(open(), 1);
}

TEST_F(Glfw2Test, SeamKeysReachCallbackAndGetKey) {
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_ESC), glfw2::RELEASE); // nobody types here
    glfw2::seam::sendKey(glfw2::KEY_F1, glfw2::PRESS); // no callback yet
    glfw2::setKeyCallback(recordKey);
    glfw2::seam::sendKey(glfw2::KEY_ESC, glfw2::PRESS);
    glfw2::seam::sendKey('A', glfw2::PRESS);
    glfw2::seam::sendKey(glfw2::KEY_ESC, glfw2::RELEASE);
    const KeyEvents expected = {{glfw2::KEY_ESC, glfw2::PRESS}, {'A', glfw2::PRESS}, {glfw2::KEY_ESC, glfw2::RELEASE}};
    EXPECT_EQ(gKeyEvents, expected);
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    glfw2::swapBuffers(); // real events polled; faked keys stay
    EXPECT_EQ(gKeyEvents, expected);
    for (int key : {int('A'), int(glfw2::KEY_F1), int(glfw2::KEY_LALT)})
        EXPECT_EQ(glfw2::getKey(key), glfw2::PRESS) << key;
    for (int key : {int(glfw2::KEY_ESC), int(glfw2::KEY_RALT), -1, glfw2::KEY_LAST + 1, 100000})
        EXPECT_EQ(glfw2::getKey(key), glfw2::RELEASE) << key;
}

TEST_F(Glfw2Test, BeforeSwapHookSeesEachFinishedPicture) {
    ASSERT_EQ(open(), 1);
    gRedBeforeSwap.clear();
    glfw2::seam::setBeforeSwap(readBeforeSwap);
    for (float red : {1.0f, 0.0f}) {
        glClearColor(red, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glfw2::swapBuffers();
    }
    glfw2::seam::reset();
    glfw2::swapBuffers();
    EXPECT_EQ(gRedBeforeSwap, (std::vector<int>{255, 0}));
}

TEST_F(Glfw2Test, ClockRunsAndCanBeFrozen) {
    const double t0 = glfw2::getTime();
    EXPECT_GE(t0, 0.0);
    glfw2::seam::setTime(12.5);
    EXPECT_EQ(glfw2::getTime(), 12.5);
    glfw2::seam::reset();
    EXPECT_GE(glfw2::getTime(), t0);
}

TEST_F(Glfw2Test, JoysticksReadWithinBoundsAndYAxesNegated) {
    float axes[4] = {7.0f, 7.0f, 7.0f, 7.0f};
    unsigned char buttons[4] = {9, 9, 9, 9};
    // Faked stick 2 only; the real library sees none, and 2 makes no other present.
    const float raw[3] = {0.25f, -0.5f, 1.0f};
    const unsigned char pressed[3] = {1, 0, 1};
    glfw2::seam::setJoystick(2, 3, raw, 3, pressed);
    for (int joy : {-1, 0, 7, 8}) {
        EXPECT_EQ(glfw2::getJoystickParam(joy, glfw2::PRESENT), 0) << joy;
        EXPECT_EQ(glfw2::getJoystickParam(joy, glfw2::AXES), 0) << joy;
        EXPECT_EQ(glfw2::getJoystickPos(joy, axes, 4), 0) << joy;
        EXPECT_EQ(glfw2::getJoystickButtons(joy, buttons, 4), 0) << joy;
    }
    EXPECT_EQ(std::vector<float>(axes, axes + 4), std::vector<float>(4, 7.0f));
    EXPECT_EQ(std::vector<int>(buttons, buttons + 4), std::vector<int>(4, 9));

    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::PRESENT), 1);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::AXES), 3);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::BUTTONS), 3);
    EXPECT_EQ(glfw2::getJoystickPos(2, axes, 4), 3);
    EXPECT_EQ(std::vector<float>(axes, axes + 4), (std::vector<float>{0.25f, 0.5f, 1.0f, 7.0f}));
    float two[2] = {0, 0};
    EXPECT_EQ(glfw2::getJoystickPos(2, two, 2), 2); // never beyond the buffer
    EXPECT_EQ(glfw2::getJoystickButtons(2, buttons, 2), 2);
    EXPECT_EQ(std::vector<int>(buttons, buttons + 4), (std::vector<int>{1, 0, 9, 9}));
    EXPECT_EQ(glfw2::getJoystickPos(2, nullptr, 3), 0);
    glfw2::seam::removeJoystick(2);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::PRESENT), 0);
}

} // namespace
