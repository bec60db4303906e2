// The log, the frame timer and file look-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/FileLookup.h"
#include "engine/FrameTimer.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

namespace {

class LogTest : public ::testing::Test {
protected:
    void TearDown() override { Log::destroy(); }
    std::string file() const { return tmp.read("qelm.log"); }
    testsupport::TempDir tmp;
};

TEST_F(LogTest, LineEndsNumbersAndStandardOutputAlike) {
    tmp.write("qelm.log", "left over from an earlier run\n");
    testing::internal::CaptureStdout();
    log("Starting ");
    log("Game ...\n");
    logLine("Mine Exploded");
    logLine("GL Error: x\n");
    log(-42), log(" "), log(4000000000u), log(" "), log(0u), log(" ");
    logLine(-2147483647 - 1);
    const unsigned char version[] = "4.5 Mesa";
    log(version);
    const std::string expected = "Starting Game ...\nMine Exploded\nGL Error: x\n\n-42 4000000000 0 -2147483648\n4.5 Mesa";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(file(), expected) << "every message is in the file before it is closed";
    Log::destroy();
    Log::destroy(); // nothing left to close
    logLine("second run");
    EXPECT_EQ(file(), "second run\n");
}

TEST_F(LogTest, UnwritableFileStillReachesStandardOutput) {
    std::filesystem::create_directory("qelm.log");
    testing::internal::CaptureStdout();
    log("lost in the file, ");
    logLine("kept on screen");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "lost in the file, kept on screen\n");
}

// The clock is frozen through the platform seam; quarter seconds add up
// exactly, so the 1.0 s boundary is hit exactly.
TEST(FrameTimer, DeltasAndAFrameRateOnlyAfterMoreThanOneSecond) {
    glfw2::seam::reset();
    FrameTimer::reset();
    EXPECT_EQ(FrameTimer::getDelta(), 0.0f);
    const struct { double time; float delta, fps; } frames[] = {
        {2.0, 0.0f, 0.0f}, {2.25, 0.25f, 0.0f}, {2.5, 0.25f, 0.0f}, {2.75, 0.25f, 0.0f},
        {3.0, 0.25f, 0.0f},         // exactly 1.0 s is not enough
        {3.25, 0.25f, 6.0f / 1.25f}, // then counting starts over
        {4.0, 0.75f, 6.0f / 1.25f}, {4.5, 0.5f, 2.0f / 1.25f}, {4.5, 0.0f, 2.0f / 1.25f}};
    for (const auto& f : frames) {
        glfw2::seam::setTime(f.time);
        FrameTimer::update();
        EXPECT_FLOAT_EQ(FrameTimer::getDelta(), f.delta) << f.time;
        EXPECT_FLOAT_EQ(FrameTimer::getFps(), f.fps) << f.time;
    }
    glfw2::seam::reset();
    FrameTimer::reset();
    ASSERT_EQ(glfw2::init(), 1) << "no display: run under Xvfb";
    FrameTimer::update();
    EXPECT_GE(FrameTimer::getDelta(), 0.0f);
    EXPECT_LT(FrameTimer::getDelta(), 0.05f) << "the first step on the real clock is near zero";
    glfw2::terminate();
    FrameTimer::reset();
}

// Works in <tmp>/a/b/c: "../" is b, "../../" is a, and <tmp> is three up.
TEST(FileLookup, ThreeCandidatesInOrderAndOnlyFiles) {
    testsupport::TempDir tmp;
    testsupport::ScopedWorkDir wd(tmp.path() + "/a/b/c");
    for (const char* dir : {"", "a/", "a/b/", "a/b/c/"}) tmp.write(std::string(dir) + "x", "x");
    for (const char* found : {"x", "../x", "../../x"}) {
        EXPECT_EQ(findFile("x"), found);
        std::filesystem::remove(found);
    }
    EXPECT_EQ(findFile("x"), "") << "three levels up is not looked at";
    std::filesystem::create_directory("d");
    tmp.write("a/d", "x");
    EXPECT_EQ(findFile("d"), "../../d") << "a directory is not a file";
    EXPECT_FALSE(fileExists("d") || fileExists(""));
}

} // namespace
