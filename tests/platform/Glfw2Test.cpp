// The window layer on a real GLFW 3 under Xvfb, with hidden windows.
#include "platform/Glfw2.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::pair<int, int>> gKeyEvents;
void recordKey(int key, int action) { gKeyEvents.emplace_back(key, action); }

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
    EXPECT_EQ(open(0, 120), 0);
    EXPECT_EQ(open(160, 0), 0);
    EXPECT_EQ(open(-5, 120), 0);
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    glfw2::openWindowHint(glfw2::WINDOW_NO_RESIZE, 1);
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 1);
    EXPECT_EQ(open(), 0); // one window at a time
    glfw2::setWindowTitle("Vantorra");
    glfw2::setWindowTitle(nullptr);
    for (int i = 0; i < 3; ++i) glfw2::swapBuffers();
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 1);
    EXPECT_EQ(glfw2::getWindowParam(0), 0);
    glfw2::terminate();
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    glfw2::swapBuffers(); // no window: nothing to do
    // The library can be started again after a shutdown.
    ASSERT_EQ(glfw2::init(), 1);
    EXPECT_EQ(open(), 1);
}

TEST_F(Glfw2Test, CallsBeforeInitDoNothing) {
    glfw2::terminate();
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(glfw2::getTime(), 0.0);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_ESC), glfw2::RELEASE);
    glfw2::swapBuffers();
    EXPECT_EQ(glfw2::getJoystickParam(0, glfw2::PRESENT), 0);
}

TEST_F(Glfw2Test, SeamKeysReachCallbackAndGetKey) {
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_ESC), glfw2::RELEASE); // nobody types here
    glfw2::seam::sendKey(glfw2::KEY_F1, glfw2::PRESS); // no callback yet
    EXPECT_TRUE(gKeyEvents.empty());
    glfw2::setKeyCallback(recordKey);
    glfw2::seam::sendKey(glfw2::KEY_ESC, glfw2::PRESS);
    glfw2::seam::sendKey('A', glfw2::PRESS);
    glfw2::seam::sendKey(glfw2::KEY_ESC, glfw2::RELEASE);
    ASSERT_EQ(gKeyEvents.size(), 3u);
    EXPECT_EQ(gKeyEvents[0], std::make_pair(int(glfw2::KEY_ESC), int(glfw2::PRESS)));
    EXPECT_EQ(gKeyEvents[1], std::make_pair(int('A'), int(glfw2::PRESS)));
    EXPECT_EQ(gKeyEvents[2], std::make_pair(int(glfw2::KEY_ESC), int(glfw2::RELEASE)));
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_ESC), glfw2::RELEASE);
    EXPECT_EQ(glfw2::getKey('A'), glfw2::PRESS);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_F1), glfw2::PRESS);
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_LALT), glfw2::PRESS);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_RALT), glfw2::RELEASE);
    EXPECT_EQ(glfw2::getKey(-1), glfw2::RELEASE);
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_LAST + 1), glfw2::RELEASE);
    EXPECT_EQ(glfw2::getKey(100000), glfw2::RELEASE);
    glfw2::swapBuffers(); // real events polled; faked keys stay
    EXPECT_EQ(glfw2::getKey('A'), glfw2::PRESS);
    EXPECT_EQ(gKeyEvents.size(), 3u);
}

TEST_F(Glfw2Test, ClockRunsAndCanBeFrozen) {
    const double t0 = glfw2::getTime();
    EXPECT_GE(t0, 0.0);
    glfw2::seam::setTime(12.5);
    EXPECT_EQ(glfw2::getTime(), 12.5);
    glfw2::seam::reset();
    EXPECT_GE(glfw2::getTime(), t0);
}

TEST_F(Glfw2Test, AbsentJoysticksWriteNothing) {
    float axes[4] = {7.0f, 7.0f, 7.0f, 7.0f};
    unsigned char buttons[4] = {9, 9, 9, 9};
    // No stick can be plugged in here: the real library sees none.
    for (int joy : {-1, 0, 7, 8}) {
        EXPECT_EQ(glfw2::getJoystickParam(joy, glfw2::PRESENT), 0) << joy;
        EXPECT_EQ(glfw2::getJoystickParam(joy, glfw2::AXES), 0) << joy;
        EXPECT_EQ(glfw2::getJoystickPos(joy, axes, 4), 0) << joy;
        EXPECT_EQ(glfw2::getJoystickButtons(joy, buttons, 4), 0) << joy;
    }
    // A faked stick 1 does not make stick 0 present.
    const float a[2] = {0.5f, 0.5f};
    const unsigned char b[1] = {1};
    glfw2::seam::setJoystick(1, 2, a, 1, b);
    EXPECT_EQ(glfw2::getJoystickPos(0, axes, 4), 0);
    EXPECT_EQ(glfw2::getJoystickButtons(0, buttons, 4), 0);
    for (float v : axes) EXPECT_EQ(v, 7.0f);
    for (unsigned char v : buttons) EXPECT_EQ(v, 9);
}

TEST_F(Glfw2Test, FakedStickIsReadWithYAxesNegatedAndWithinBounds) {
    const float raw[3] = {0.25f, -0.5f, 1.0f};
    const unsigned char pressed[3] = {1, 0, 1};
    glfw2::seam::setJoystick(2, 3, raw, 3, pressed);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::PRESENT), 1);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::AXES), 3);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::BUTTONS), 3);
    float axes[4] = {7.0f, 7.0f, 7.0f, 7.0f};
    EXPECT_EQ(glfw2::getJoystickPos(2, axes, 4), 3);
    EXPECT_EQ(axes[0], 0.25f);
    EXPECT_EQ(axes[1], 0.5f);
    EXPECT_EQ(axes[2], 1.0f);
    EXPECT_EQ(axes[3], 7.0f);
    float two[2] = {0, 0};
    EXPECT_EQ(glfw2::getJoystickPos(2, two, 2), 2); // never beyond the buffer
    unsigned char buttons[2] = {9, 9};
    EXPECT_EQ(glfw2::getJoystickButtons(2, buttons, 2), 2);
    EXPECT_EQ(buttons[0], 1);
    EXPECT_EQ(buttons[1], 0);
    EXPECT_EQ(glfw2::getJoystickPos(2, nullptr, 3), 0);
    glfw2::seam::removeJoystick(2);
    EXPECT_EQ(glfw2::getJoystickParam(2, glfw2::PRESENT), 0);
}

} // namespace
