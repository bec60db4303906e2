// The log, the frame timer, file look-up, the configuration, joystick input,
// and the window layer on GLFW 3 with its key table.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/Config.h"
#include "engine/FileLookup.h"
#include "engine/FrameTimer.h"
#include "engine/JoyInput.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

namespace {

// Each test runs in <tmp>/a/b/c. Faked sticks give axes as devices report
// them: the odd (Y) axes are negated on read, so raw -0.5 is "up".
class Foundation : public ::testing::Test {
protected:
    void SetUp() override {
        glfw2::seam::reset();
        glfw2::seam::removeJoystick(0); // fake sticks only
    }
    void TearDown() override {
        Config::destroy();
        JoyInput::reset();
        FrameTimer::reset();
        glfw2::seam::reset();
        Log::destroy();
    }
    std::string logText() const { return tmp.read("a/b/c/qelm.log"); }
    void load(const std::string& text, const std::string& dir = "a/b/c") {
        Config::destroy();
        tmp.write(dir + "/qelm.conf", text);
    }
    static void expectInts(const std::vector<std::pair<std::string, int>>& expected) {
        for (const auto& [key, value] : expected) EXPECT_EQ(Config::getInt(key), value) << key;
    }
    static void expectDevices(const std::vector<int>& expected) {
        for (std::size_t slot = 0; slot < expected.size(); ++slot)
            EXPECT_EQ(Config::getInputDevice(int(slot)), expected[slot]) << "slot " << slot;
    }
    static void plug(int joy, std::vector<float> axes, std::vector<unsigned char> buttons = {}) {
        glfw2::seam::setJoystick(joy, int(axes.size()), axes.data(), int(buttons.size()), buttons.data());
    }
    // Up, down, left, right of a stick, each by its query and by its code.
    static std::vector<bool> directions(int joy) {
        std::vector<bool> d = {JoyInput::isUp(joy), JoyInput::isDown(joy), JoyInput::isLeft(joy), JoyInput::isRight(joy)};
        for (int code = 1000; code < 1004; ++code) d.push_back(JoyInput::isPressed(joy, code));
        return d;
    }
    testsupport::TempDir tmp;
    testsupport::ScopedWorkDir wd{tmp.path() + "/a/b/c"};
};

TEST_F(Foundation, LogLineEndsNumbersStandardOutputAndAnUnwritableFile) {
    tmp.write("a/b/c/qelm.log", "left over from an earlier run\n");
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
    EXPECT_EQ(logText(), expected) << "every message is in the file before it is closed";
    Log::destroy();
    Log::destroy(); // nothing left to close
    logLine("second run");
    EXPECT_EQ(logText(), "second run\n");
    Log::destroy();
    std::filesystem::remove("qelm.log");
    std::filesystem::create_directory("qelm.log");
    testing::internal::CaptureStdout();
    log("lost in the file, ");
    logLine("kept on screen");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "lost in the file, kept on screen\n");
}

// Quarter seconds on the faked clock add up exactly to the 1.0 s boundary.
TEST_F(Foundation, FrameTimerDeltasAndAFrameRateOnlyAfterMoreThanOneSecond) {
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
}

// Works in <tmp>/a/b/c: "../" is b, "../../" is a, and <tmp> is three up.
TEST_F(Foundation, FileLookUpThreeCandidatesInOrderAndOnlyFiles) {
    for (const char* dir : {"", "a/", "a/b/", "a/b/c/"}) tmp.write(std::string(dir) + "x", "x");
    for (const char* found : {"x", "../x", "../../x"}) {
        EXPECT_EQ(findFile("x"), found);
        std::filesystem::remove(found);
    }
    EXPECT_EQ(findFile("x"), "") << "three levels up is not looked at";
    EXPECT_FALSE(fileExists(".") || fileExists("")) << "a directory is not a file";
}

TEST_F(Foundation, ConfigKeyNamesNumbersAndJoystickCodesWithTheirPrecedence) {
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

TEST_F(Foundation, ConfigDeviceAndBindingLinesSetTheSlots) {
    load("p_4 = joy_2\np_3_left = joy_7_left\np_1 = joy_0\np_1_fire = key_space\np_2 = joy_9\n"
         "p_5 = joy_1\np_8_up = joy_3_up\np_3_up = something\n");
    // p_3_up is neither key nor joy: unchanged. Slots 4-7 are never set.
    expectDevices({-1, 9, 7, 2, -2, -2, -2, -2});
    for (int slot : {-1, 8, INT_MIN, INT_MAX}) EXPECT_EQ(Config::getInputDevice(slot), -2) << slot;
    load("p_1 = joy\np_2 = joy0\np_3 = joy_x\np_4 = joy__up\n"); // too short or odd: keyboard
    expectDevices({-1, -1, -1, -1});
    EXPECT_EQ(Config::getInt("p_4"), 0);
}

TEST_F(Foundation, ConfigBlanksCommentsStrayLinesAndNumbersBeyondInt) {
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
    EXPECT_EQ(Config::trim(" \t\f\v\n\r"), "");
}

TEST(ConfigReader, JoyCodeAndParseIntSyntax) {
    const std::pair<std::string, int> joy[] = {
        {"joy_0_up", 1000}, {"joy_0_down", 1001}, {"joy_1_left", 1002}, {"joy_1_right", 1003},
        {"joy_0_3", 3}, {"joy_0_12ab", 12}, {"joy_0_-2", -1}, {"joy_x_0", 0}, {"joy_0_up_", 1000}, {"joy__up", -1},
        {"joy_0_", -1}, {"joy_0", -1}, {"joy_0_up_x", -1}, {"Joy_0_up", -1}, {"joy_0_Up", -1},
        {"_joy_0", -1}, {"", -1}, {std::string(100000, '_'), -1}};
    for (const auto& [text, code] : joy) EXPECT_EQ(Config::joyCode(text), code) << text.substr(0, 20);
    const std::pair<const char*, int> ints[] = {{"12ab", 12}, {"-7", -7}, {"+7", 7}, {"0", 0},
                                                {"ab", -1}, {"", -1}, {"-", -1}, {"2147483648", -1}};
    for (const auto& [text, value] : ints) EXPECT_EQ(Config::parseInt(text), value) << text;
}

TEST_F(Foundation, ConfigFoundUpToTwoLevelsUpReadOnceAndReloadedAfterDestroy) {
    tmp.write("qelm.conf", "width = 1\n"); // three levels up: not a candidate
    std::filesystem::create_directory("qelm.conf");
    EXPECT_EQ(Config::getInt("width"), 0);
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

TEST_F(Foundation, ConfigLongLinesBinaryAndNoFinalLineEnd) {
    load("pad = " + std::string(1 << 20, 'x') + "\n" + std::string("bin\0ary = \x01\xff\xfe joy", 17) +
         "\n" + std::string(5000, '=') + "\np_1 = joy_5\nlast = 42");
    EXPECT_EQ(Config::getString("pad").size(), std::size_t(1) << 20);
    EXPECT_EQ(Config::getString(std::string("bin\0ary", 7)), "\x01\xff\xfe joy");
    EXPECT_EQ(Config::getString(""), std::string(4999, '='));
    EXPECT_EQ(Config::getInt("last"), 42);
    expectDevices({5});
}

TEST_F(Foundation, JoyInputStrictThresholdsOnBothAxes) {
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

TEST_F(Foundation, JoyInputButtonsOneAxisSticksAndSharedBuffers) {
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

TEST_F(Foundation, JoyInputLogsReadySlotsOnceAndUnpluggedSticksReadCentred) {
    for (int joy = 0; joy < 8; ++joy) {
        JoyInput::poll(joy);
        EXPECT_EQ(directions(joy), std::vector<bool>(8, false)) << joy;
        EXPECT_FALSE(JoyInput::isPressed(joy, 0)) << joy;
    }
    EXPECT_EQ(logText(), "JoyInput: none found\n");
    JoyInput::reset();
    Log::destroy();
    plug(0, {0.9f, -0.9f}, {1});
    plug(1, {0.0f}, {0});
    plug(2, {0.0f}, {0, 0, 0, 0, 0, 0});
    JoyInput::poll(0);
    EXPECT_EQ(logText(), "JoyInput: slots: 0,1,2 ready (total nuber of ready joysticks: 3)\n");
    plug(3, {0.9f, 0.9f}, {1}); // probed once: not seen
    JoyInput::poll(3);
    EXPECT_FALSE(JoyInput::isRight(3) || JoyInput::isPressed(3, 0));
    JoyInput::poll(0);
    glfw2::seam::removeJoystick(1);
    JoyInput::poll(1);
    EXPECT_EQ(directions(1), std::vector<bool>(8, false)) << "unplugged: centred, not the last stick's values";
    EXPECT_FALSE(JoyInput::isPressed(1, 0));
}

TEST(KeyTable, EverySpecialKeyBothWaysAndNothingElse) {
    // GLFW 3's keys for 2.7's ESC .. MENU, in 2.7 order.
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
}

int open(int w = 160, int h = 120) { return glfw2::openWindow(w, h, 0, 0, 0, 0, 24, 8, glfw2::WINDOW); }

// Whatever a failing check leaves open is shut for the tests after it.
class Glfw2 : public ::testing::Test {
protected:
    void TearDown() override {
        glfw2::terminate();
        glfw2::seam::reset();
    }
};

TEST_F(Glfw2, WindowKeysAndJoysticksThroughTheSeam) {
    EXPECT_EQ(open() + glfw2::getWindowParam(glfw2::OPENED), 0) << "not started: nothing works, nothing crashes";
    ASSERT_EQ(glfw2::init(), 1) << "no display: run under Xvfb";
    glfw2::seam::setHiddenWindows(true);
    EXPECT_EQ(open(0, 120) + open(160, 0), 0);
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(open(), 0) << "one window at a time";
    // Faked key states stay through the poll of real events in the swap.
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    glfw2::swapBuffers();
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
    glfw2::terminate();
    glfw2::seam::reset();
    EXPECT_EQ(glfw2::getWindowParam(glfw2::OPENED), 0);
    ASSERT_EQ(glfw2::init(), 1) << "started again after a shut-down";
    EXPECT_EQ(open(), 1);
}

} // namespace
