// Key-code translation between the 2.7 numbering the program and its
// configuration use and GLFW 3's. GLFW 3's own header gives the other side.
#include "platform/Glfw2.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <set>

namespace {

struct Pair {
    int key2;
    int key3;
};

// Every special key of the 2.7 numbering with its GLFW 3 key.
const Pair kSpecial[] = {
    {glfw2::KEY_ESC, GLFW_KEY_ESCAPE},
    {glfw2::KEY_UP, GLFW_KEY_UP}, {glfw2::KEY_DOWN, GLFW_KEY_DOWN},
    {glfw2::KEY_LEFT, GLFW_KEY_LEFT}, {glfw2::KEY_RIGHT, GLFW_KEY_RIGHT},
    {glfw2::KEY_LSHIFT, GLFW_KEY_LEFT_SHIFT}, {glfw2::KEY_RSHIFT, GLFW_KEY_RIGHT_SHIFT},
    {glfw2::KEY_LCTRL, GLFW_KEY_LEFT_CONTROL}, {glfw2::KEY_RCTRL, GLFW_KEY_RIGHT_CONTROL},
    {glfw2::KEY_LALT, GLFW_KEY_LEFT_ALT}, {glfw2::KEY_RALT, GLFW_KEY_RIGHT_ALT},
    {glfw2::KEY_TAB, GLFW_KEY_TAB}, {glfw2::KEY_ENTER, GLFW_KEY_ENTER},
    {glfw2::KEY_BACKSPACE, GLFW_KEY_BACKSPACE}, {glfw2::KEY_INSERT, GLFW_KEY_INSERT},
    {glfw2::KEY_DEL, GLFW_KEY_DELETE},
    {glfw2::KEY_PAGEUP, GLFW_KEY_PAGE_UP}, {glfw2::KEY_PAGEDOWN, GLFW_KEY_PAGE_DOWN},
    {glfw2::KEY_HOME, GLFW_KEY_HOME}, {glfw2::KEY_END, GLFW_KEY_END},
    {glfw2::KEY_KP_DIVIDE, GLFW_KEY_KP_DIVIDE}, {glfw2::KEY_KP_MULTIPLY, GLFW_KEY_KP_MULTIPLY},
    {glfw2::KEY_KP_SUBTRACT, GLFW_KEY_KP_SUBTRACT}, {glfw2::KEY_KP_ADD, GLFW_KEY_KP_ADD},
    {glfw2::KEY_KP_DECIMAL, GLFW_KEY_KP_DECIMAL}, {glfw2::KEY_KP_EQUAL, GLFW_KEY_KP_EQUAL},
    {glfw2::KEY_KP_ENTER, GLFW_KEY_KP_ENTER},
    {glfw2::KEY_KP_NUM_LOCK, GLFW_KEY_NUM_LOCK}, {glfw2::KEY_CAPS_LOCK, GLFW_KEY_CAPS_LOCK},
    {glfw2::KEY_SCROLL_LOCK, GLFW_KEY_SCROLL_LOCK}, {glfw2::KEY_PAUSE, GLFW_KEY_PAUSE},
    {glfw2::KEY_LSUPER, GLFW_KEY_LEFT_SUPER}, {glfw2::KEY_RSUPER, GLFW_KEY_RIGHT_SUPER},
    {glfw2::KEY_MENU, GLFW_KEY_MENU},
};

TEST(KeyTable, SpecialKeysBothWays) {
    for (const Pair& p : kSpecial) {
        EXPECT_EQ(glfw2::keyToGlfw3(p.key2), p.key3) << p.key2;
        EXPECT_EQ(glfw2::keyFromGlfw3(p.key3), p.key2) << p.key3;
    }
    // The numbers the configuration files hold.
    EXPECT_EQ(glfw2::KEY_ESC, 257);
    EXPECT_EQ(glfw2::KEY_UP, 283);
    EXPECT_EQ(glfw2::KEY_RCTRL, 290);
    EXPECT_EQ(glfw2::KEY_MENU, 325);
}

TEST(KeyTable, FunctionAndKeypadDigitRanges) {
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(glfw2::keyToGlfw3(glfw2::KEY_F1 + i), GLFW_KEY_F1 + i) << i;
        EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_F1 + i), glfw2::KEY_F1 + i) << i;
    }
    EXPECT_EQ(glfw2::KEY_F25, 282);
    EXPECT_EQ(glfw2::keyToGlfw3(glfw2::KEY_F13), GLFW_KEY_F13);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(glfw2::keyToGlfw3(glfw2::KEY_KP_0 + i), GLFW_KEY_KP_0 + i) << i;
        EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_KP_0 + i), glfw2::KEY_KP_0 + i) << i;
    }
}

TEST(KeyTable, PrintableKeysKeepTheirNumbers) {
    for (int c = 'A'; c <= 'Z'; ++c) {
        EXPECT_EQ(glfw2::keyToGlfw3(c), c);
        EXPECT_EQ(glfw2::keyFromGlfw3(c), c);
    }
    for (int c = '0'; c <= '9'; ++c) EXPECT_EQ(glfw2::keyFromGlfw3(c), c);
    EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_SPACE), glfw2::KEY_SPACE);
    EXPECT_EQ(glfw2::keyToGlfw3(glfw2::KEY_SPACE), GLFW_KEY_SPACE);
}

TEST(KeyTable, OverlappingNumbersAreTranslatedNotPassedThrough) {
    // 257 is Escape in 2.7 but Enter in GLFW 3; 290 is right Ctrl vs F1.
    EXPECT_EQ(glfw2::keyFromGlfw3(257), glfw2::KEY_ENTER);
    EXPECT_EQ(glfw2::keyToGlfw3(257), GLFW_KEY_ESCAPE);
    EXPECT_EQ(glfw2::keyFromGlfw3(290), glfw2::KEY_F1);
    EXPECT_EQ(glfw2::keyToGlfw3(290), GLFW_KEY_RIGHT_CONTROL);
}

TEST(KeyTable, KeysWithoutCounterpart) {
    EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_WORLD_1), -1);
    EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_WORLD_2), -1);
    EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_PRINT_SCREEN), -1);
    EXPECT_EQ(glfw2::keyFromGlfw3(GLFW_KEY_UNKNOWN), -1);
    EXPECT_EQ(glfw2::keyToGlfw3(glfw2::KEY_SPECIAL), -1); // 256: no 2.7 key
    EXPECT_EQ(glfw2::keyToGlfw3(glfw2::KEY_LAST + 1), -1);
    EXPECT_EQ(glfw2::keyToGlfw3(-1), -1);
    EXPECT_EQ(glfw2::keyToGlfw3('a'), -1); // 2.7 reports upper case only
}

TEST(KeyTable, TranslationIsOneToOneOverBothRanges) {
    std::set<int> seen;
    for (int k = -1; k <= glfw2::KEY_LAST + 10; ++k) {
        const int k3 = glfw2::keyToGlfw3(k);
        if (k3 == -1) continue;
        EXPECT_TRUE(seen.insert(k3).second) << "two 2.7 keys give GLFW 3 key " << k3;
        EXPECT_EQ(glfw2::keyFromGlfw3(k3), k) << k;
    }
    for (int k3 = -1; k3 <= GLFW_KEY_LAST; ++k3) {
        const int k = glfw2::keyFromGlfw3(k3);
        if (k != -1) {
            EXPECT_EQ(glfw2::keyToGlfw3(k), k3) << k3;
        }
    }
    // Every special 2.7 key (ESC .. MENU) has a counterpart.
    for (int k = glfw2::KEY_ESC; k <= glfw2::KEY_LAST; ++k)
        EXPECT_NE(glfw2::keyToGlfw3(k), -1) << k;
}

} // namespace
