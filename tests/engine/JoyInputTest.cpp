#include "engine/JoyInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/TempDir.h"

namespace {

// Sticks are faked through the platform seam. Axes are given as the device
// reports them: the odd (Y) axes are negated on read, so raw -0.5 is "up 0.5".
class JoyInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        glfw2::seam::reset();
        JoyInput::reset();
        glfw2::seam::removeJoystick(0); // fake sticks only, none plugged in yet
    }
    void TearDown() override {
        JoyInput::reset();
        glfw2::seam::reset();
        Log::destroy();
    }
    static void plug(int joy, std::vector<float> axes, std::vector<unsigned char> buttons) {
        glfw2::seam::setJoystick(joy, static_cast<int>(axes.size()), axes.data(),
                                 static_cast<int>(buttons.size()), buttons.data());
    }

    testsupport::TempDir tmp;
};

const float kAbove = std::nextafter(0.2f, 1.0f); // just beyond the threshold

TEST_F(JoyInputTest, UpAndDownUseStrictThresholdOnAxisOne) {
    plug(0, {0.0f, -0.5f}, {0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 1000));
    EXPECT_FALSE(JoyInput::isPressed(0, 1001));

    plug(0, {0.0f, -0.2f}, {0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_FALSE(JoyInput::isUp(0)); // exactly 0.2 after negation
    plug(0, {0.0f, 0.2f}, {0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_FALSE(JoyInput::isDown(0));

    plug(0, {0.0f, -kAbove}, {0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isUp(0));
    plug(0, {0.0f, kAbove}, {0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isDown(0));
    EXPECT_TRUE(JoyInput::isPressed(0, 1001));
    EXPECT_FALSE(JoyInput::isUp(0));
}

TEST_F(JoyInputTest, LeftAndRightUseStrictThresholdOnAxisZero) {
    plug(0, {-0.2f, 0.0f}, {});
    JoyInput::poll(0);
    EXPECT_FALSE(JoyInput::isLeft(0));
    plug(0, {0.2f, 0.0f}, {});
    JoyInput::poll(0);
    EXPECT_FALSE(JoyInput::isRight(0));
    plug(0, {-kAbove, 0.0f}, {});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 1002));
    EXPECT_FALSE(JoyInput::isPressed(0, 1003));
    plug(0, {kAbove, 0.9f}, {});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 1003));
    EXPECT_FALSE(JoyInput::isPressed(0, 1002));
    EXPECT_TRUE(JoyInput::isDown(0)); // axis 0 does not touch up/down
}

TEST_F(JoyInputTest, ButtonsAndCodesOutsideTheButtonCount) {
    plug(0, {0.0f, 0.0f}, {0, 0, 0, 1});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 3));
    EXPECT_FALSE(JoyInput::isPressed(0, 0));
    EXPECT_FALSE(JoyInput::isPressed(0, 4));
    EXPECT_FALSE(JoyInput::isPressed(0, -1));
    EXPECT_FALSE(JoyInput::isPressed(0, 999));
    EXPECT_FALSE(JoyInput::isPressed(0, 1004));
    plug(0, {0.0f, 0.0f}, {1, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 0));
    EXPECT_FALSE(JoyInput::isPressed(0, 3));
}

TEST_F(JoyInputTest, SingleAxisStickNeverReadsUpOrDown) {
    // Stick 0 leaves a strong axis 1 in the shared buffer; stick 1 has only
    // axis 0 and must not pick it up.
    plug(0, {0.0f, -1.0f, 0.0f}, {1, 1, 1});
    plug(1, {0.0f}, {0});
    JoyInput::poll(0);
    JoyInput::poll(1);
    EXPECT_FALSE(JoyInput::isUp(1));
    EXPECT_FALSE(JoyInput::isDown(1));
    EXPECT_FALSE(JoyInput::isPressed(1, 1)); // beyond its one button
    plug(1, {-0.9f}, {0});
    JoyInput::poll(1);
    EXPECT_TRUE(JoyInput::isLeft(1));
    plug(1, {0.9f}, {0});
    JoyInput::poll(1);
    EXPECT_TRUE(JoyInput::isRight(1));
}

TEST_F(JoyInputTest, SharedBuffersHoldTheStickPolledLast) {
    plug(0, {-0.9f, -0.9f}, {1, 0});
    plug(1, {0.9f, 0.9f}, {0, 1});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isLeft(0));
    EXPECT_TRUE(JoyInput::isUp(0));
    EXPECT_TRUE(JoyInput::isPressed(0, 0));
    JoyInput::poll(1);
    EXPECT_TRUE(JoyInput::isRight(1));
    EXPECT_TRUE(JoyInput::isDown(1));
    EXPECT_TRUE(JoyInput::isPressed(1, 1));
    EXPECT_FALSE(JoyInput::isPressed(1, 0));
    // Asking about stick 0 without polling it reads stick 1's values.
    EXPECT_TRUE(JoyInput::isRight(0));
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isLeft(0));
}

TEST_F(JoyInputTest, JoystickNumbersOutsideRangeAreNeverPressed) {
    plug(0, {0.9f, -0.9f}, {1, 1});
    JoyInput::poll(0);
    for (int joy : {-1, 8, 100, -100000}) {
        JoyInput::poll(joy);
        for (int code : {0, 1, 1000, 1001, 1002, 1003})
            EXPECT_FALSE(JoyInput::isPressed(joy, code)) << joy << " " << code;
        EXPECT_FALSE(JoyInput::isUp(joy));
        EXPECT_FALSE(JoyInput::isRight(joy));
    }
    EXPECT_TRUE(JoyInput::isRight(0)); // the buffers are untouched
    EXPECT_TRUE(JoyInput::isPressed(0, 1));
}

TEST_F(JoyInputTest, LogsReadySlots) {
    plug(0, {0.0f, 0.0f}, {0});
    plug(2, {0.0f}, {0, 0, 0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_EQ(tmp.read("qelm.log"), "JoyInput: slots: 0,2 ready (total nuber of ready joysticks: 2)\n");
    // Probed once: a stick plugged in later is not seen.
    plug(3, {0.9f, 0.9f}, {1});
    JoyInput::poll(3);
    EXPECT_FALSE(JoyInput::isRight(3));
    EXPECT_FALSE(JoyInput::isPressed(3, 0));
}

TEST_F(JoyInputTest, NoneFoundAndNothingPressed) {
    EXPECT_FALSE(JoyInput::isPressed(0, 1000));
    EXPECT_EQ(tmp.read("qelm.log"), "JoyInput: none found\n");
    for (int joy = 0; joy < 8; ++joy) {
        JoyInput::poll(joy);
        for (int code : {0, 1, 1000, 1001, 1002, 1003})
            EXPECT_FALSE(JoyInput::isPressed(joy, code));
    }
}

TEST_F(JoyInputTest, UnpluggedStickReadsCentredNotTheOtherStick) {
    plug(0, {0.9f, -0.9f}, {1, 1});
    plug(1, {0.0f, 0.0f}, {0, 0});
    JoyInput::poll(0);
    glfw2::seam::removeJoystick(1);
    JoyInput::poll(1);
    EXPECT_FALSE(JoyInput::isRight(1));
    EXPECT_FALSE(JoyInput::isUp(1));
    EXPECT_FALSE(JoyInput::isPressed(1, 0));
}

} // namespace
