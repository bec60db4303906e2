#include "engine/Config.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/Log.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

namespace {

// Runs a few levels down inside a temp dir, so none of the three look-up
// candidates can pick up a stray qelm.conf elsewhere on the machine.
class ConfigTest : public ::testing::Test {
protected:
    void TearDown() override {
        Config::destroy();
        Log::destroy();
    }
    void writeConf(const std::string& text, const std::string& dir = "a/b/c") {
        tmp.write(dir + "/qelm.conf", text);
    }
    std::string logText() const { return tmp.read("a/b/c/qelm.log"); }

    testsupport::TempDir tmp;
    testsupport::ScopedWorkDir wd{tmp.path() + "/a/b/c"};
};

TEST_F(ConfigTest, BindingWithCommentGivesKeyCodeTextAndKeyboard) {
    writeConf("p_1_up = key_up # arrow\n");
    EXPECT_EQ(Config::getInt("p_1_up"), 283);
    EXPECT_EQ(Config::getString("p_1_up"), "key_up");
    EXPECT_EQ(Config::getInputDevice(0), -1);
    EXPECT_EQ(Config::getInputDevice(1), -2);
}

TEST_F(ConfigTest, AllKeyNames) {
    writeConf("a=key_up\nb=key_down\nc=key_left\nd=key_right\ne=key_space\n"
              "f=key_rshift\ng=key_lshift\nh=key_rctrl\ni=key_lctrl\n"
              "j=key_w\nk=key_a\nl=key_s\nm=key_d\nn=KEY_UP\no=key_x\n");
    const int expected[] = {283, 284, 285, 286, 32, 288, 287, 290, 289, 87, 65, 83, 68};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(Config::getInt(std::string(1, char('a' + i))), expected[i]) << i;
    EXPECT_EQ(Config::keyCode("KEY_UP"), -1); // case matters
    EXPECT_EQ(Config::getInt("n"), 0);
    EXPECT_EQ(Config::getString("o"), "key_x"); // text only
    EXPECT_EQ(Config::getInt("o"), 0);
}

TEST_F(ConfigTest, DeviceLineAndJoystickButton) {
    writeConf("p_2 = joy_1\np_2_fire = joy_1_3\n");
    EXPECT_EQ(Config::getInputDevice(1), 1);
    EXPECT_EQ(Config::getInt("p_2_fire"), 3);
    EXPECT_EQ(Config::getInputDevice(0), -2);
}

TEST_F(ConfigTest, JoystickCodeWinsWhateverTheOrder) {
    writeConf("p_1_up = joy_0_up\np_1_up = key_up\n"
              "p_2_up = key_up\np_2_up = joy_1_down\n"
              "x = 7\nx = joy_0_left\ny = joy_0_right\ny = 9\n");
    EXPECT_EQ(Config::getInt("p_1_up"), 1000);
    EXPECT_EQ(Config::getString("p_1_up"), "key_up");
    EXPECT_EQ(Config::getInputDevice(0), -1); // the later line decides the device
    EXPECT_EQ(Config::getInt("p_2_up"), 1001);
    EXPECT_EQ(Config::getInputDevice(1), 1);
    EXPECT_EQ(Config::getInt("x"), 1002);
    EXPECT_EQ(Config::getInt("y"), 1003);
}

TEST_F(ConfigTest, FirstKeyNameOrNumberWinsLastJoystickCodeWins) {
    writeConf("width = 1024\nwidth = 800\n"
              "a = key_w\na = 5\nb = 5\nb = key_w\n"
              "c = joy_0_up\nc = joy_0_down\nc = joy_0_2\n");
    EXPECT_EQ(Config::getInt("width"), 1024);
    EXPECT_EQ(Config::getString("width"), "800");
    EXPECT_EQ(Config::getInt("a"), 87);
    EXPECT_EQ(Config::getInt("b"), 5);
    EXPECT_EQ(Config::getInt("c"), 2);
}

TEST_F(ConfigTest, SlotsFromDeviceAndBindingLines) {
    writeConf("p_4 = joy_2\np_3_left = joy_7_left\np_1 = joy_0\np_1_fire = key_space\n"
              "p_2 = joy_9\np_5 = joy_1\np_8_up = joy_3_up\np_3_up = something\n");
    EXPECT_EQ(Config::getInputDevice(3), 2);
    EXPECT_EQ(Config::getInputDevice(2), 7); // neither key nor joy: unchanged
    EXPECT_EQ(Config::getInputDevice(0), -1);
    EXPECT_EQ(Config::getInputDevice(1), 9);
    for (int slot = 4; slot < 8; ++slot) EXPECT_EQ(Config::getInputDevice(slot), -2) << slot;
}

TEST_F(ConfigTest, ShortOrOddJoyDeviceValuesMeanKeyboard) {
    writeConf("p_1 = joy\np_2 = joy0\np_3 = joy_x\np_4 = joy__up\n");
    EXPECT_EQ(Config::getInputDevice(0), -1);
    EXPECT_EQ(Config::getInputDevice(1), -1);
    EXPECT_EQ(Config::getInputDevice(2), -1);
    EXPECT_EQ(Config::getInputDevice(3), -1);
    EXPECT_EQ(Config::getInt("p_4"), 0); // joy__up is no joystick code
}

TEST_F(ConfigTest, SlotOutsideRangeIsNeverConfigured) {
    writeConf("p_1 = joy_3\n");
    EXPECT_EQ(Config::getInputDevice(-1), -2);
    EXPECT_EQ(Config::getInputDevice(8), -2);
    EXPECT_EQ(Config::getInputDevice(INT_MIN), -2);
    EXPECT_EQ(Config::getInputDevice(INT_MAX), -2);
    EXPECT_EQ(Config::getInputDevice(0), 3);
}

TEST_F(ConfigTest, TrimsAllSixBlanksAndKeepsInnerOnes) {
    writeConf(" \t\f\vwidth\v\f\t = \t640\r\n\f name \v=\t two  words \r\n");
    EXPECT_EQ(Config::getInt("width"), 640);
    EXPECT_EQ(Config::getString("width"), "640");
    EXPECT_EQ(Config::getString("name"), "two  words");
    EXPECT_EQ(Config::trim(" \t\f\v\n\rx y\r\n\v\f\t "), "x y");
    EXPECT_EQ(Config::trim(" \t\f\v\n\r"), "");
    EXPECT_EQ(Config::trim(""), "");
    EXPECT_EQ(Config::trimLeft("  x  "), "x  ");
    EXPECT_EQ(Config::trimRight("  x  "), "  x");
}

TEST_F(ConfigTest, CommentsEqualsSignsAndStrayLines) {
    writeConf("# width = 1\n"
              "height = 480 # = 2\n"
              "#\n"
              "just some text\n"
              "\n"
              "a=b=c\n"
              "=5\n"
              "n = 3x\n"
              "m = x3\n"
              "e =\n");
    EXPECT_EQ(Config::getInt("height"), 480);
    EXPECT_EQ(Config::getString("height"), "480");
    EXPECT_EQ(Config::getString("a"), "b=c");
    EXPECT_EQ(Config::getInt(""), 5);
    EXPECT_EQ(Config::getInt("n"), 3);
    EXPECT_EQ(Config::getInt("m"), 0);
    EXPECT_EQ(Config::getString("e"), "");
    EXPECT_EQ(Config::getInt("e"), 0);
    EXPECT_EQ(Config::getInt("width"), 0);
    // height, a, "", n, m, e were read; width came only from a query.
    EXPECT_NE(logText().find("Configuration file loaded (6 items).\n"), std::string::npos);
}

TEST_F(ConfigTest, NumbersBeyondIntGiveNothing) {
    writeConf("big = 2147483648\nsmall = -2147483649\nmax = 2147483647\nmin = -2147483648\n"
              "huge = 99999999999999999999\nj = joy_0_99999999999\n");
    EXPECT_EQ(Config::getInt("big"), 0);
    EXPECT_EQ(Config::getInt("small"), 0);
    EXPECT_EQ(Config::getInt("huge"), 0);
    EXPECT_EQ(Config::getInt("j"), 0);
    EXPECT_EQ(Config::getInt("max"), INT_MAX);
    EXPECT_EQ(Config::getInt("min"), INT_MIN);
}

TEST(ConfigReader, JoyCodeSyntax) {
    EXPECT_EQ(Config::joyCode("joy_0_up"), 1000);
    EXPECT_EQ(Config::joyCode("joy_0_down"), 1001);
    EXPECT_EQ(Config::joyCode("joy_1_left"), 1002);
    EXPECT_EQ(Config::joyCode("joy_1_right"), 1003);
    EXPECT_EQ(Config::joyCode("joy_0_3"), 3);
    EXPECT_EQ(Config::joyCode("joy_0_12ab"), 12);
    EXPECT_EQ(Config::joyCode("joy_x_0"), 0); // the middle part is not read
    EXPECT_EQ(Config::joyCode("joy_0_up_"), 1000); // trailing '_' adds no part
    EXPECT_EQ(Config::joyCode("joy__up"), -1);
    EXPECT_EQ(Config::joyCode("joy_0_"), -1);
    EXPECT_EQ(Config::joyCode("joy_0"), -1);
    EXPECT_EQ(Config::joyCode("joy_0_up_x"), -1);
    EXPECT_EQ(Config::joyCode("Joy_0_up"), -1);
    EXPECT_EQ(Config::joyCode("joy_0_Up"), -1);
    EXPECT_EQ(Config::joyCode("joy_0_x"), -1);
    EXPECT_EQ(Config::joyCode("_joy_0"), -1);
    EXPECT_EQ(Config::joyCode(""), -1);
    EXPECT_EQ(Config::joyCode(std::string(100000, '_')), -1);
}

TEST(ConfigReader, ParseInt) {
    EXPECT_EQ(Config::parseInt("12ab"), 12);
    EXPECT_EQ(Config::parseInt("-7"), -7);
    EXPECT_EQ(Config::parseInt("+7"), 7);
    EXPECT_EQ(Config::parseInt("0"), 0);
    EXPECT_EQ(Config::parseInt("ab"), -1);
    EXPECT_EQ(Config::parseInt(""), -1);
    EXPECT_EQ(Config::parseInt("-"), -1);
    EXPECT_EQ(Config::parseInt("2147483648"), -1);
}

TEST_F(ConfigTest, MissingFileLogsZeroAndAnswersDefaults) {
    // Files outside the three candidates: four levels up, and a directory.
    tmp.write("qelm.conf", "width = 1\n");
    std::filesystem::create_directory("qelm.conf");
    EXPECT_EQ(Config::getInt("width"), 0);
    EXPECT_EQ(Config::getString("width"), "");
    for (int slot = 0; slot < 8; ++slot) EXPECT_EQ(Config::getInputDevice(slot), -2);
    EXPECT_EQ(logText(), "Configuration file loaded (0 items).\n");
}

TEST_F(ConfigTest, FoundTwoLevelsUp) {
    writeConf("width = 320\n", "a");
    EXPECT_EQ(Config::getInt("width"), 320);
}

TEST_F(ConfigTest, DestroyLogsAndNextQueryReloads) {
    writeConf("width = 320\nwidth = 1\nheight = 200\n");
    EXPECT_EQ(Config::getInt("width"), 320);
    writeConf("width = 640\n");
    EXPECT_EQ(Config::getInt("width"), 320); // read once
    Config::destroy();
    EXPECT_EQ(Config::getInt("width"), 640);
    EXPECT_EQ(logText(), "Configuration file loaded (2 items).\n"
                         "Configuration file unloaded.\n"
                         "Configuration file loaded (1 items).\n");
    Config::destroy();
    Config::destroy(); // nothing left to unload
    EXPECT_EQ(logText().size(), std::string("Configuration file loaded (2 items).\n"
                                            "Configuration file unloaded.\n"
                                            "Configuration file loaded (1 items).\n"
                                            "Configuration file unloaded.\n")
                                    .size());
}

TEST_F(ConfigTest, LongLinesBinaryAndNoFinalLineEnd) {
    std::string text = "pad = " + std::string(1 << 20, 'x') + "\n";
    text += std::string("bin\0ary = \x01\xff\xfe joy", 17) + "\n";
    text += std::string(5000, '=') + "\n";
    text += "p_1 = joy_5\n";
    text += "last = 42"; // no line end
    writeConf(text);
    EXPECT_EQ(Config::getString("pad").size(), std::size_t(1) << 20);
    EXPECT_EQ(Config::getString(std::string("bin\0ary", 7)), "\x01\xff\xfe joy");
    EXPECT_EQ(Config::getString(""), std::string(4999, '='));
    EXPECT_EQ(Config::getInputDevice(0), 5);
    EXPECT_EQ(Config::getInt("last"), 42);
}

} // namespace
