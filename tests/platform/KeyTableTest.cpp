// Key-code translation between the 2.7 numbering the program and its
// configuration use and GLFW 3's.
#include "platform/Glfw2.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

TEST(KeyTable, EveryKnownPairBothWays) {
    std::vector<std::pair<int, int>> pairs = {
        {glfw2::KEY_ESC, GLFW_KEY_ESCAPE}, {glfw2::KEY_UP, GLFW_KEY_UP}, {glfw2::KEY_DOWN, GLFW_KEY_DOWN},
        {glfw2::KEY_LEFT, GLFW_KEY_LEFT}, {glfw2::KEY_RIGHT, GLFW_KEY_RIGHT},
        {glfw2::KEY_LSHIFT, GLFW_KEY_LEFT_SHIFT}, {glfw2::KEY_RSHIFT, GLFW_KEY_RIGHT_SHIFT},
        {glfw2::KEY_LCTRL, GLFW_KEY_LEFT_CONTROL}, {glfw2::KEY_RCTRL, GLFW_KEY_RIGHT_CONTROL},
        {glfw2::KEY_LALT, GLFW_KEY_LEFT_ALT}, {glfw2::KEY_RALT, GLFW_KEY_RIGHT_ALT},
        {glfw2::KEY_TAB, GLFW_KEY_TAB}, {glfw2::KEY_ENTER, GLFW_KEY_ENTER},
        {glfw2::KEY_BACKSPACE, GLFW_KEY_BACKSPACE}, {glfw2::KEY_INSERT, GLFW_KEY_INSERT},
        {glfw2::KEY_DEL, GLFW_KEY_DELETE}, {glfw2::KEY_PAGEUP, GLFW_KEY_PAGE_UP},
        {glfw2::KEY_PAGEDOWN, GLFW_KEY_PAGE_DOWN}, {glfw2::KEY_HOME, GLFW_KEY_HOME},
        {glfw2::KEY_END, GLFW_KEY_END}, {glfw2::KEY_KP_DIVIDE, GLFW_KEY_KP_DIVIDE},
        {glfw2::KEY_KP_MULTIPLY, GLFW_KEY_KP_MULTIPLY}, {glfw2::KEY_KP_SUBTRACT, GLFW_KEY_KP_SUBTRACT},
        {glfw2::KEY_KP_ADD, GLFW_KEY_KP_ADD}, {glfw2::KEY_KP_DECIMAL, GLFW_KEY_KP_DECIMAL},
        {glfw2::KEY_KP_EQUAL, GLFW_KEY_KP_EQUAL}, {glfw2::KEY_KP_ENTER, GLFW_KEY_KP_ENTER},
        {glfw2::KEY_KP_NUM_LOCK, GLFW_KEY_NUM_LOCK}, {glfw2::KEY_CAPS_LOCK, GLFW_KEY_CAPS_LOCK},
        {glfw2::KEY_SCROLL_LOCK, GLFW_KEY_SCROLL_LOCK}, {glfw2::KEY_PAUSE, GLFW_KEY_PAUSE},
        {glfw2::KEY_LSUPER, GLFW_KEY_LEFT_SUPER}, {glfw2::KEY_RSUPER, GLFW_KEY_RIGHT_SUPER},
        {glfw2::KEY_MENU, GLFW_KEY_MENU}, {glfw2::KEY_SPACE, GLFW_KEY_SPACE}};
    for (int i = 0; i < 25; ++i) pairs.emplace_back(glfw2::KEY_F1 + i, GLFW_KEY_F1 + i);
    for (int i = 0; i < 10; ++i) pairs.emplace_back(glfw2::KEY_KP_0 + i, GLFW_KEY_KP_0 + i);
    for (int c = 'A'; c <= 'Z'; ++c) pairs.emplace_back(c, c);
    for (int c = '0'; c <= '9'; ++c) pairs.emplace_back(c, c);
    for (const auto& [key2, key3] : pairs) {
        EXPECT_EQ(glfw2::keyToGlfw3(key2), key3) << key2;
        EXPECT_EQ(glfw2::keyFromGlfw3(key3), key2) << key3;
    }
    // The numbers the configuration files hold.
    EXPECT_EQ(glfw2::KEY_ESC, 257);
    EXPECT_EQ(glfw2::KEY_UP, 283);
    EXPECT_EQ(glfw2::KEY_F25, 282);
    EXPECT_EQ(glfw2::KEY_RCTRL, 290);
    EXPECT_EQ(glfw2::KEY_MENU, 325);
}

TEST(KeyTable, KeysWithoutCounterpartAreNeverAnotherKey) {
    for (int key3 : {GLFW_KEY_WORLD_1, GLFW_KEY_WORLD_2, GLFW_KEY_PRINT_SCREEN, GLFW_KEY_UNKNOWN})
        EXPECT_EQ(glfw2::keyFromGlfw3(key3), -1) << key3;
    // 256: no 2.7 key; 2.7 reports upper case letters only.
    for (int key2 : {int(glfw2::KEY_SPECIAL), glfw2::KEY_LAST + 1, -1, int('a')})
        EXPECT_EQ(glfw2::keyToGlfw3(key2), -1) << key2;
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
    for (int k = glfw2::KEY_ESC; k <= glfw2::KEY_LAST; ++k) EXPECT_NE(glfw2::keyToGlfw3(k), -1) << k;
}

} // namespace
