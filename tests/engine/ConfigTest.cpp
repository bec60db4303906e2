#include "engine/Config.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "engine/Log.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

namespace {

using Ints = std::vector<std::pair<std::string, int>>;

// Runs a few levels down inside a temp dir, so none of the three look-up
// candidates can pick up a stray qelm.conf elsewhere on the machine.
class ConfigTest : public ::testing::Test {
protected:
    void TearDown() override {
        Config::destroy();
        Log::destroy();
    }
    void load(const std::string& text, const std::string& dir = "a/b/c") {
        Config::destroy();
        tmp.write(dir + "/qelm.conf", text);
    }
    std::string logText() const { return tmp.read("a/b/c/qelm.log"); }
    static void expectInts(const Ints& expected) {
        for (const auto& [key, value] : expected) EXPECT_EQ(Config::getInt(key), value) << key;
    }
    // Input devices of slots 0, 1, ...
    static void expectDevices(const std::vector<int>& expected) {
        for (std::size_t slot = 0; slot < expected.size(); ++slot)
            EXPECT_EQ(Config::getInputDevice(int(slot)), expected[slot]) << "slot " << slot;
    }
    testsupport::TempDir tmp;
    testsupport::ScopedWorkDir wd{tmp.path() + "/a/b/c"};
};

TEST_F(ConfigTest, KeyNamesNumbersAndJoystickCodesWithTheirPrecedence) {
    // Joystick codes win whatever the order; otherwise the first key name or
    // number wins; the text is always the last line's. Key names are case
    // sensitive, and key_x is none.
    load("a=key_up\nb=key_down\nc=key_left\nd=key_right\ne=key_space\nf=key_rshift\ng=key_lshift\n"
         "h=key_rctrl\ni=key_lctrl\nj=key_w\nk=key_a\nl=key_s\nm=key_d\nn=KEY_UP\no=key_x\n"
         "p_1_up = joy_0_up\np_1_up = key_up\np_2_up = key_up\np_2_up = joy_1_down\n"
         "x = 7\nx = joy_0_left\ny = joy_0_right\ny = 9\nwidth = 1024\nwidth = 800\n"
         "q = key_w\nq = 5\nr = 5\nr = key_w\ns = joy_0_up\ns = joy_0_down\ns = joy_0_2\n");
    expectInts({{"a", 283}, {"b", 284}, {"c", 285}, {"d", 286}, {"e", 32}, {"f", 288}, {"g", 287},
                {"h", 290}, {"i", 289}, {"j", 87}, {"k", 65}, {"l", 83}, {"m", 68}, {"n", 0}, {"o", 0},
                {"p_1_up", 1000}, {"p_2_up", 1001}, {"x", 1002}, {"y", 1003}, {"width", 1024},
                {"q", 87}, {"r", 5}, {"s", 2}});
    EXPECT_EQ(Config::getString("o"), "key_x");
    EXPECT_EQ(Config::getString("p_1_up"), "key_up");
    EXPECT_EQ(Config::getString("width"), "800");
    expectDevices({-1, 1}); // the later line decides the device
}

TEST_F(ConfigTest, DeviceAndBindingLinesSetTheSlots) {
    load("p_4 = joy_2\np_3_left = joy_7_left\np_1 = joy_0\np_1_fire = key_space\np_2 = joy_9\n"
         "p_5 = joy_1\np_8_up = joy_3_up\np_3_up = something\n");
    // p_3_up is neither key nor joy: unchanged. Slots 4-7 are never set.
    expectDevices({-1, 9, 7, 2, -2, -2, -2, -2});
    for (int slot : {-1, 8, INT_MIN, INT_MAX}) EXPECT_EQ(Config::getInputDevice(slot), -2) << slot;
    load("p_1 = joy\np_2 = joy0\np_3 = joy_x\np_4 = joy__up\n"); // too short or odd: keyboard
    expectDevices({-1, -1, -1, -1});
    EXPECT_EQ(Config::getInt("p_4"), 0);
}

TEST_F(ConfigTest, BlanksCommentsStrayLinesAndNumbersBeyondInt) {
    load(" \t\f\vwidth\v\f\t = \t640\r\n\f name \v=\t two  words \r\n# height = 1\n"
         "depth = 480 # = 2\n#\njust some text\n\na=b=c\n=5\nn = 3x\nm = x3\ne =\nbig = 2147483648\n"
         "small = -2147483649\nmax = 2147483647\nmin = -2147483648\nj = joy_0_99999999999");
    expectInts({{"width", 640}, {"depth", 480}, {"", 5}, {"n", 3}, {"m", 0}, {"e", 0}, {"height", 0},
                {"big", 0}, {"small", 0}, {"j", 0}, {"max", INT_MAX}, {"min", INT_MIN}});
    EXPECT_EQ(Config::getString("name"), "two  words");
    EXPECT_EQ(Config::getString("depth"), "480");
    EXPECT_EQ(Config::getString("a"), "b=c");
    // 13 lines were read; height came only from a query.
    EXPECT_NE(logText().find("Configuration file loaded (13 items).\n"), std::string::npos) << logText();
    EXPECT_EQ(Config::trim(" \t\f\v\n\rx y\r\n\v\f\t "), "x y");
    EXPECT_EQ(Config::trim(" \t\f\v\n\r"), "");
    EXPECT_EQ(Config::trimLeft("  x  "), "x  ");
    EXPECT_EQ(Config::trimRight("  x  "), "  x");
}

TEST(ConfigReader, JoyCodeAndParseIntSyntax) {
    const std::pair<std::string, int> joy[] = {
        {"joy_0_up", 1000}, {"joy_0_down", 1001}, {"joy_1_left", 1002}, {"joy_1_right", 1003},
        {"joy_0_3", 3}, {"joy_0_12ab", 12}, {"joy_x_0", 0}, {"joy_0_up_", 1000}, {"joy__up", -1},
        {"joy_0_", -1}, {"joy_0", -1}, {"joy_0_up_x", -1}, {"Joy_0_up", -1}, {"joy_0_Up", -1},
        {"_joy_0", -1}, {"", -1}, {std::string(100000, '_'), -1}};
    for (const auto& [text, code] : joy) EXPECT_EQ(Config::joyCode(text), code) << text.substr(0, 20);
    const std::pair<const char*, int> ints[] = {{"12ab", 12}, {"-7", -7}, {"+7", 7}, {"0", 0},
                                                {"ab", -1}, {"", -1}, {"-", -1}, {"2147483648", -1}};
    for (const auto& [text, value] : ints) EXPECT_EQ(Config::parseInt(text), value) << text;
}

TEST_F(ConfigTest, FoundUpToTwoLevelsUpReadOnceAndReloadedAfterDestroy) {
    tmp.write("qelm.conf", "width = 1\n"); // three levels up: not a candidate
    std::filesystem::create_directory("qelm.conf");
    EXPECT_EQ(Config::getInt("width"), 0);
    EXPECT_EQ(Config::getString("width"), "");
    expectDevices({-2, -2, -2, -2});
    load("width = 320\nwidth = 1\nheight = 200\n", "a");
    EXPECT_EQ(Config::getInt("width"), 320);
    tmp.write("a/qelm.conf", "width = 640\n");
    EXPECT_EQ(Config::getInt("width"), 320); // read once
    Config::destroy();
    EXPECT_EQ(Config::getInt("width"), 640);
    Config::destroy();
    Config::destroy(); // nothing left to unload
    EXPECT_EQ(logText(), "Configuration file loaded (0 items).\nConfiguration file unloaded.\n"
                         "Configuration file loaded (2 items).\nConfiguration file unloaded.\n"
                         "Configuration file loaded (1 items).\nConfiguration file unloaded.\n");
}

TEST_F(ConfigTest, LongLinesBinaryAndNoFinalLineEnd) {
    load("pad = " + std::string(1 << 20, 'x') + "\n" + std::string("bin\0ary = \x01\xff\xfe joy", 17) +
         "\n" + std::string(5000, '=') + "\np_1 = joy_5\nlast = 42");
    EXPECT_EQ(Config::getString("pad").size(), std::size_t(1) << 20);
    EXPECT_EQ(Config::getString(std::string("bin\0ary", 7)), "\x01\xff\xfe joy");
    EXPECT_EQ(Config::getString(""), std::string(4999, '='));
    EXPECT_EQ(Config::getInt("last"), 42);
    expectDevices({5});
}

} // namespace
