// The window layer on a real GLFW 3 under Xvfb (hidden windows), and its
// key table between the 2.7 numbering the program and its configuration use
// and GLFW 3's.
#include "platform/Glfw2.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(KeyTable, EverySpecialKeyBothWaysAndNothingElse) {
    // GLFW 3's keys for 2.7's ESC .. MENU, in 2.7 order (F1-F25 and the
    // keypad digits run in order in both).
    std::vector<int> special = {GLFW_KEY_ESCAPE};
    for (int i = 0; i < 25; ++i) special.push_back(GLFW_KEY_F1 + i);
    for (int key : {GLFW_KEY_UP, GLFW_KEY_DOWN, GLFW_KEY_LEFT, GLFW_KEY_RIGHT, GLFW_KEY_LEFT_SHIFT,
                    GLFW_KEY_RIGHT_SHIFT, GLFW_KEY_LEFT_CONTROL, GLFW_KEY_RIGHT_CONTROL, GLFW_KEY_LEFT_ALT,
                    GLFW_KEY_RIGHT_ALT, GLFW_KEY_TAB, GLFW_KEY_ENTER, GLFW_KEY_BACKSPACE, GLFW_KEY_INSERT,
                    GLFW_KEY_DELETE, GLFW_KEY_PAGE_UP, GLFW_KEY_PAGE_DOWN, GLFW_KEY_HOME, GLFW_KEY_END})
        special.push_back(key);
    for (int i = 0; i < 10; ++i) special.push_back(GLFW_KEY_KP_0 + i);
    for (int key : {GLFW_KEY_KP_DIVIDE, GLFW_KEY_KP_MULTIPLY, GLFW_KEY_KP_SUBTRACT, GLFW_KEY_KP_ADD,
                    GLFW_KEY_KP_DECIMAL, GLFW_KEY_KP_EQUAL, GLFW_KEY_KP_ENTER, GLFW_KEY_NUM_LOCK,
                    GLFW_KEY_CAPS_LOCK, GLFW_KEY_SCROLL_LOCK, GLFW_KEY_PAUSE, GLFW_KEY_LEFT_SUPER,
                    GLFW_KEY_RIGHT_SUPER, GLFW_KEY_MENU})
        special.push_back(key);
    ASSERT_EQ(special.size(), std::size_t(glfw2::KEY_LAST - glfw2::KEY_ESC + 1));
    std::vector<std::pair<int, int>> pairs = {{glfw2::KEY_SPACE, GLFW_KEY_SPACE}};
    for (int i = 0; i < int(special.size()); ++i) pairs.emplace_back(glfw2::KEY_ESC + i, special[i]);
    for (int c = 'A'; c <= 'Z'; ++c) pairs.emplace_back(c, c);
    for (int c = '0'; c <= '9'; ++c) pairs.emplace_back(c, c);
    for (const auto& [key2, key3] : pairs) {
        EXPECT_EQ(glfw2::keyToGlfw3(key2), key3) << key2;
        EXPECT_EQ(glfw2::keyFromGlfw3(key3), key2) << key3;
    }
    // A GLFW 3 key without a counterpart is never reported as another key,
    // and no other 2.7 number (256, beyond MENU, lower case) goes to GLFW 3.
    for (int k3 = -1; k3 <= GLFW_KEY_LAST; ++k3) {
        const int k2 = glfw2::keyFromGlfw3(k3);
        EXPECT_TRUE(k2 == -1 || glfw2::keyToGlfw3(k2) == k3) << k3;
    }
    for (int k3 : {GLFW_KEY_WORLD_1, GLFW_KEY_WORLD_2, GLFW_KEY_PRINT_SCREEN}) EXPECT_EQ(glfw2::keyFromGlfw3(k3), -1);
    for (int key2 : {int(glfw2::KEY_SPECIAL), glfw2::KEY_LAST + 1, -1, int('a')})
        EXPECT_EQ(glfw2::keyToGlfw3(key2), -1) << key2;
    EXPECT_EQ(glfw2::KEY_UP, 283) << "the numbers the configuration files hold";
}

std::vector<std::pair<int, int>> gKeyEvents;
void recordKey(int key, int action) { gKeyEvents.emplace_back(key, action); }
// Red of the lower-left pixel of the back buffer at each call.
std::vector<int> gRedBeforeSwap;
void readBeforeSwap() {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    gRedBeforeSwap.push_back(rgba[0]);
}
int open(int w = 160, int h = 120) { return glfw2::openWindow(w, h, 0, 0, 0, 0, 24, 8, glfw2::WINDOW); }

// Whatever a failing check leaves open is shut for the tests after it.
class Glfw2 : public ::testing::Test {
protected:
    void TearDown() override {
        glfw2::setKeyCallback(nullptr);
        glfw2::terminate();
        glfw2::seam::reset();
    }
};

TEST_F(Glfw2, WindowKeysAndJoysticksThroughTheSeam) {
    glfw2::seam::reset();
    gKeyEvents.clear();
    EXPECT_EQ(open() + glfw2::getWindowParam(glfw2::OPENED), 0) << "not started: nothing works, nothing crashes";
    ASSERT_EQ(glfw2::init(), 1) << "no display: run under Xvfb";
    glfw2::seam::setHiddenWindows(true);
    EXPECT_EQ(open(0, 120) + open(160, 0), 0);
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(open(), 0) << "one window at a time";
    // Faked key events reach the callback, faked key states stay through the
    // poll of real events in the swap.
    glfw2::setKeyCallback(recordKey);
    glfw2::seam::sendKey(glfw2::KEY_ESC, glfw2::PRESS);
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    glfw2::swapBuffers();
    EXPECT_EQ(gKeyEvents, (std::vector<std::pair<int, int>>{{glfw2::KEY_ESC, glfw2::PRESS}}));
    EXPECT_EQ(glfw2::getKey(glfw2::KEY_LALT), glfw2::PRESS);
    for (int key : {int(glfw2::KEY_RALT), -1, glfw2::KEY_LAST + 1}) EXPECT_EQ(glfw2::getKey(key), glfw2::RELEASE) << key;
    // Faked stick 2: read within the caller's buffers, Y axes negated.
    float axes[4] = {7, 7, 7, 7};
    const float raw[3] = {0.25f, -0.5f, 1.0f};
    const unsigned char pressed[3] = {1, 0, 1};
    glfw2::seam::setJoystick(2, 3, raw, 3, pressed);
    for (int joy : {-1, 0, 8}) EXPECT_EQ(glfw2::getJoystickPos(joy, axes, 4), 0) << joy;
    EXPECT_EQ(glfw2::getJoystickPos(2, axes, 2), 2);
    EXPECT_EQ(std::vector<float>(axes, axes + 4), (std::vector<float>{0.25f, 0.5f, 7.0f, 7.0f}));
    // The hook before the swap sees each finished picture.
    gRedBeforeSwap.clear();
    glfw2::seam::setBeforeSwap(readBeforeSwap);
    for (float red : {1.0f, 0.0f}) {
        glClearColor(red, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glfw2::swapBuffers();
    }
    EXPECT_EQ(gRedBeforeSwap, (std::vector<int>{255, 0}));
    glfw2::setKeyCallback(nullptr);
    glfw2::terminate();
    glfw2::seam::reset();
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    ASSERT_EQ(glfw2::init(), 1) << "started again after a shut-down";
    EXPECT_EQ(open(), 1);
}

} // namespace
