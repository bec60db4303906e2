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
    static void plug(int joy, std::vector<float> axes, std::vector<unsigned char> buttons = {}) {
        glfw2::seam::setJoystick(joy, static_cast<int>(axes.size()), axes.data(),
                                 static_cast<int>(buttons.size()), buttons.data());
    }
    // Codes 1000-1003 (up, down, left, right) pressed after polling stick 0.
    static std::vector<bool> directions(float x, float y) {
        plug(0, {x, y});
        JoyInput::poll(0);
        return {JoyInput::isUp(0), JoyInput::isDown(0), JoyInput::isLeft(0), JoyInput::isRight(0),
                JoyInput::isPressed(0, 1000), JoyInput::isPressed(0, 1001),
                JoyInput::isPressed(0, 1002), JoyInput::isPressed(0, 1003)};
    }
    testsupport::TempDir tmp;
};

TEST_F(JoyInputTest, StrictThresholdsOnBothAxes) {
    const float above = std::nextafter(0.2f, 1.0f);
    struct Case {
        float x, y;
        bool up, down, left, right;
    };
    const Case cases[] = {
        {0.0f, -0.5f, true, false, false, false},   {0.0f, -0.2f, false, false, false, false},
        {0.0f, 0.2f, false, false, false, false},   {0.0f, -above, true, false, false, false},
        {0.0f, above, false, true, false, false},   {-0.2f, 0.0f, false, false, false, false},
        {0.2f, 0.0f, false, false, false, false},   {-above, 0.0f, false, false, true, false},
        {above, 0.9f, false, true, false, true},
    };
    for (const Case& c : cases) {
        const bool d[4] = {c.up, c.down, c.left, c.right};
        EXPECT_EQ(directions(c.x, c.y), (std::vector<bool>{d[0], d[1], d[2], d[3], d[0], d[1], d[2], d[3]}))
            << c.x << ", " << c.y;
    }
}

TEST_F(JoyInputTest, ButtonsAndCodesOutsideTheButtonCount) {
    plug(0, {0.0f, 0.0f}, {0, 0, 0, 1});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 3));
    for (int code : {0, 4, -1, 999, 1004}) EXPECT_FALSE(JoyInput::isPressed(0, code)) << code;
    plug(0, {0.0f, 0.0f}, {1, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isPressed(0, 0));
    EXPECT_FALSE(JoyInput::isPressed(0, 3));
}

TEST_F(JoyInputTest, SharedBuffersAndAOneAxisStick) {
    // Stick 0 leaves a strong axis 1 in the shared buffer; stick 1 has only
    // axis 0 and one button and must not pick up the rest.
    plug(0, {-0.9f, -1.0f, 0.0f}, {1, 1, 1});
    plug(1, {0.9f}, {0});
    JoyInput::poll(0);
    EXPECT_TRUE(JoyInput::isLeft(0));
    EXPECT_TRUE(JoyInput::isUp(0));
    JoyInput::poll(1);
    EXPECT_TRUE(JoyInput::isRight(1));
    EXPECT_FALSE(JoyInput::isUp(1));
    EXPECT_FALSE(JoyInput::isDown(1));
    EXPECT_FALSE(JoyInput::isPressed(1, 1)); // beyond its one button
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

TEST_F(JoyInputTest, LogsReadySlotsOnceAndUnpluggedSticksReadCentred) {
    plug(0, {0.9f, -0.9f}, {1});
    plug(1, {0.0f}, {0});
    plug(2, {0.0f}, {0, 0, 0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_EQ(tmp.read("qelm.log"), "JoyInput: slots: 0,1,2 ready (total nuber of ready joysticks: 3)\n");
    // Probed once: a stick plugged in later is not seen.
    plug(3, {0.9f, 0.9f}, {1});
    JoyInput::poll(3);
    EXPECT_FALSE(JoyInput::isRight(3));
    EXPECT_FALSE(JoyInput::isPressed(3, 0));
    // An unplugged stick reads centred, not the stick polled before it.
    JoyInput::poll(0);
    glfw2::seam::removeJoystick(1);
    JoyInput::poll(1);
    EXPECT_FALSE(JoyInput::isRight(1));
    EXPECT_FALSE(JoyInput::isUp(1));
    EXPECT_FALSE(JoyInput::isPressed(1, 0));
}

TEST_F(JoyInputTest, NoneFoundAndNothingPressed) {
    EXPECT_FALSE(JoyInput::isPressed(0, 1000));
    EXPECT_EQ(tmp.read("qelm.log"), "JoyInput: none found\n");
    for (int joy = 0; joy < 8; ++joy) {
        JoyInput::poll(joy);
        for (int code : {0, 1, 1000, 1001, 1002, 1003}) EXPECT_FALSE(JoyInput::isPressed(joy, code)) << joy;
    }
}

} // namespace
