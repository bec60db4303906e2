#include "engine/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

namespace {

class LogTest : public ::testing::Test {
protected:
    void TearDown() override { Log::destroy(); }
    std::string file() const { return tmp.read("qelm.log"); }

    testsupport::TempDir tmp;
};

TEST_F(LogTest, LineEndsComeFromTheTextOrTheLineEntryPoint) {
    log("Starting ");
    log("Game ...\n");
    logLine("Mine Exploded");
    logLine("GL Error: x\n");
    log("end");
    // Visible in the file before the log is closed: every message is flushed.
    EXPECT_EQ(file(), "Starting Game ...\nMine Exploded\nGL Error: x\n\nend");
}

TEST_F(LogTest, NumbersInDecimal) {
    log(-42);
    log(" ");
    log(4000000000u);
    log(" ");
    log(0u);
    log(" ");
    logLine(-2147483647 - 1);
    const unsigned char version[] = "4.5 Mesa";
    log(version);
    EXPECT_EQ(file(), "-42 4000000000 0 -2147483648\n4.5 Mesa");
}

TEST_F(LogTest, StandardOutputGetsTheSameText) {
    testing::internal::CaptureStdout();
    log("a ");
    log(7);
    logLine(" b");
    log("c\n");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "a 7 b\nc\n");
    EXPECT_EQ(file(), out);
}

TEST_F(LogTest, EachRunStartsAFreshFile) {
    tmp.write("qelm.log", "left over from an earlier run\n");
    log("first run\n");
    Log::destroy();
    Log::destroy(); // nothing left to close
    EXPECT_EQ(file(), "first run\n");
    logLine("second run");
    EXPECT_EQ(file(), "second run\n");
}

TEST_F(LogTest, UnwritableFileStillReachesStandardOutput) {
    std::filesystem::create_directory("qelm.log");
    testing::internal::CaptureStdout();
    log("lost in the file, ");
    logLine("kept on screen");
    log(3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "lost in the file, kept on screen\n3");
    EXPECT_TRUE(std::filesystem::is_directory("qelm.log"));
}

} // namespace
