#include "engine/JoyInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/TempDir.h"

namespace {

// Sticks are faked through the platform seam, with axes as the device
// reports them: the odd (Y) axes are negated on read, so raw -0.5 is "up".
class JoyInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        glfw2::seam::reset();
        JoyInput::reset();
        glfw2::seam::removeJoystick(0); // fake sticks only
    }
    void TearDown() override {
        JoyInput::reset();
        glfw2::seam::reset();
        Log::destroy();
    }
    static void plug(int joy, std::vector<float> axes, std::vector<unsigned char> buttons = {}) {
        glfw2::seam::setJoystick(joy, int(axes.size()), axes.data(), int(buttons.size()), buttons.data());
    }
    // Up, down, left, right of a stick, each by its query and by its code.
    static std::vector<bool> directions(int joy) {
        std::vector<bool> d = {JoyInput::isUp(joy), JoyInput::isDown(joy), JoyInput::isLeft(joy),
                               JoyInput::isRight(joy)};
        for (int code = 1000; code < 1004; ++code) d.push_back(JoyInput::isPressed(joy, code));
        return d;
    }
    testsupport::TempDir tmp;
};

TEST_F(JoyInputTest, StrictThresholdsOnBothAxes) {
    const float above = std::nextafter(0.2f, 1.0f);
    const struct { float x, y; bool up, down, left, right; } cases[] = {
        {0.0f, -0.5f, 1, 0, 0, 0}, {0.0f, -0.2f, 0, 0, 0, 0}, {0.0f, 0.2f, 0, 0, 0, 0},
        {0.0f, -above, 1, 0, 0, 0}, {0.0f, above, 0, 1, 0, 0}, {-0.2f, 0.0f, 0, 0, 0, 0},
        {0.2f, 0.0f, 0, 0, 0, 0}, {-above, 0.0f, 0, 0, 1, 0}, {above, 0.9f, 0, 1, 0, 1}};
    for (const auto& c : cases) {
        plug(0, {c.x, c.y});
        JoyInput::poll(0);
        EXPECT_EQ(directions(0), (std::vector<bool>{c.up, c.down, c.left, c.right, c.up, c.down, c.left, c.right}))
            << c.x << ", " << c.y;
    }
}

TEST_F(JoyInputTest, ButtonsOneAxisSticksAndSharedBuffers) {
    // Stick 0 leaves a strong axis 1 and pressed buttons in the shared
    // buffers; stick 1 has only axis 0 and one button and must not pick them up.
    plug(0, {-0.9f, -1.0f, 0.0f}, {0, 1, 0, 1});
    plug(1, {0.9f}, {0});
    JoyInput::poll(0);
    EXPECT_EQ(directions(0), (std::vector<bool>{1, 0, 1, 0, 1, 0, 1, 0}));
    EXPECT_TRUE(JoyInput::isPressed(0, 3));
    for (int code : {0, 4, -1, 999, 1004}) EXPECT_FALSE(JoyInput::isPressed(0, code)) << code;
    JoyInput::poll(1);
    EXPECT_EQ(directions(1), (std::vector<bool>{0, 0, 0, 1, 0, 0, 0, 1}));
    EXPECT_FALSE(JoyInput::isPressed(1, 1)) << "beyond its one button";
    for (int joy : {-1, 8, -100000}) {
        JoyInput::poll(joy);
        for (int code : {0, 1, 1000, 1001, 1002, 1003}) EXPECT_FALSE(JoyInput::isPressed(joy, code)) << joy;
    }
    EXPECT_TRUE(JoyInput::isRight(1)) << "polling a stick that cannot exist leaves the buffers alone";
}

TEST_F(JoyInputTest, LogsReadySlotsOnceAndUnpluggedSticksReadCentred) {
    plug(0, {0.9f, -0.9f}, {1});
    plug(1, {0.0f}, {0});
    plug(2, {0.0f}, {0, 0, 0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_EQ(tmp.read("qelm.log"), "JoyInput: slots: 0,1,2 ready (total nuber of ready joysticks: 3)\n");
    plug(3, {0.9f, 0.9f}, {1}); // probed once: not seen
    JoyInput::poll(3);
    EXPECT_FALSE(JoyInput::isRight(3) || JoyInput::isPressed(3, 0));
    JoyInput::poll(0);
    glfw2::seam::removeJoystick(1);
    JoyInput::poll(1);
    EXPECT_EQ(directions(1), std::vector<bool>(8, false)) << "unplugged: centred, not the last stick's values";
    EXPECT_FALSE(JoyInput::isPressed(1, 0));
}

TEST_F(JoyInputTest, NoneFoundAndNothingPressed) {
    for (int joy = 0; joy < 8; ++joy) {
        JoyInput::poll(joy);
        EXPECT_EQ(directions(joy), std::vector<bool>(8, false)) << joy;
        EXPECT_FALSE(JoyInput::isPressed(joy, 0)) << joy;
    }
    EXPECT_EQ(tmp.read("qelm.log"), "JoyInput: none found\n");
}

} // namespace
