#include "engine/FrameTimer.h"

#include <gtest/gtest.h>

#include "platform/Glfw2.h"

namespace {

// The clock is frozen through the platform seam; quarter seconds add up
// exactly in binary, so the 1.0 s boundary is hit exactly.
class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        glfw2::seam::reset();
        FrameTimer::reset();
    }
    void TearDown() override {
        FrameTimer::reset();
        glfw2::seam::reset();
    }
};

TEST_F(FrameTimerTest, NoDeltaBeforeTheFirstUpdateAndZeroAtIt) {
    EXPECT_EQ(FrameTimer::getDelta(), 0.0f);
    glfw2::seam::setTime(10.0);
    FrameTimer::update();
    EXPECT_EQ(FrameTimer::getDelta(), 0.0f);
    glfw2::seam::setTime(10.25);
    FrameTimer::update();
    EXPECT_EQ(FrameTimer::getDelta(), 0.25f);
    glfw2::seam::setTime(10.75);
    FrameTimer::update();
    EXPECT_EQ(FrameTimer::getDelta(), 0.5f);
    FrameTimer::update();
    EXPECT_EQ(FrameTimer::getDelta(), 0.0f);
}

TEST_F(FrameTimerTest, FrameRateOnlyAfterMoreThanOneSecond) {
    glfw2::seam::setTime(2.0);
    FrameTimer::update(); // frame 1, nothing accumulated
    for (int i = 1; i <= 4; ++i) {
        glfw2::seam::setTime(2.0 + 0.25 * i);
        FrameTimer::update();
    }
    EXPECT_EQ(FrameTimer::getFps(), 0.0f); // exactly 1.0 s is not enough
    glfw2::seam::setTime(3.25);
    FrameTimer::update();
    EXPECT_FLOAT_EQ(FrameTimer::getFps(), 6.0f / 1.25f);
    // Counting starts over: the figure holds until another second has passed.
    glfw2::seam::setTime(4.0);
    FrameTimer::update();
    EXPECT_FLOAT_EQ(FrameTimer::getFps(), 4.8f);
    glfw2::seam::setTime(4.5);
    FrameTimer::update();
    EXPECT_FLOAT_EQ(FrameTimer::getFps(), 2.0f / 1.25f);
}

TEST_F(FrameTimerTest, FirstStepOnTheRealClockIsNearZero) {
    ASSERT_EQ(glfw2::init(), 1) << "no display: run under Xvfb";
    FrameTimer::update();
    const float first = FrameTimer::getDelta();
    EXPECT_GE(first, 0.0f);
    EXPECT_LT(first, 0.05f);
    glfw2::terminate();
}

} // namespace
