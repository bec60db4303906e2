// Translation between GLFW 2.7 key codes and GLFW 3 key codes. The two
// numberings overlap with different meanings (257 is Escape in 2.7 and Enter
// in 3), so every special key is translated, never passed through.
#include "platform/Glfw2.h"

#include <GLFW/glfw3.h>

namespace glfw2 {
namespace {

struct KeyPair {
    int key2;
    int key3;
};

constexpr KeyPair kSpecialKeys[] = {
    {KEY_ESC, GLFW_KEY_ESCAPE},
    {KEY_UP, GLFW_KEY_UP}, {KEY_DOWN, GLFW_KEY_DOWN},
    {KEY_LEFT, GLFW_KEY_LEFT}, {KEY_RIGHT, GLFW_KEY_RIGHT},
    {KEY_LSHIFT, GLFW_KEY_LEFT_SHIFT}, {KEY_RSHIFT, GLFW_KEY_RIGHT_SHIFT},
    {KEY_LCTRL, GLFW_KEY_LEFT_CONTROL}, {KEY_RCTRL, GLFW_KEY_RIGHT_CONTROL},
    {KEY_LALT, GLFW_KEY_LEFT_ALT}, {KEY_RALT, GLFW_KEY_RIGHT_ALT},
    {KEY_TAB, GLFW_KEY_TAB}, {KEY_ENTER, GLFW_KEY_ENTER},
    {KEY_BACKSPACE, GLFW_KEY_BACKSPACE}, {KEY_INSERT, GLFW_KEY_INSERT},
    {KEY_DEL, GLFW_KEY_DELETE},
    {KEY_PAGEUP, GLFW_KEY_PAGE_UP}, {KEY_PAGEDOWN, GLFW_KEY_PAGE_DOWN},
    {KEY_HOME, GLFW_KEY_HOME}, {KEY_END, GLFW_KEY_END},
    {KEY_KP_DIVIDE, GLFW_KEY_KP_DIVIDE}, {KEY_KP_MULTIPLY, GLFW_KEY_KP_MULTIPLY},
    {KEY_KP_SUBTRACT, GLFW_KEY_KP_SUBTRACT}, {KEY_KP_ADD, GLFW_KEY_KP_ADD},
    {KEY_KP_DECIMAL, GLFW_KEY_KP_DECIMAL}, {KEY_KP_EQUAL, GLFW_KEY_KP_EQUAL},
    {KEY_KP_ENTER, GLFW_KEY_KP_ENTER},
    {KEY_KP_NUM_LOCK, GLFW_KEY_NUM_LOCK}, {KEY_CAPS_LOCK, GLFW_KEY_CAPS_LOCK},
    {KEY_SCROLL_LOCK, GLFW_KEY_SCROLL_LOCK}, {KEY_PAUSE, GLFW_KEY_PAUSE},
    {KEY_LSUPER, GLFW_KEY_LEFT_SUPER}, {KEY_RSUPER, GLFW_KEY_RIGHT_SUPER},
    {KEY_MENU, GLFW_KEY_MENU},
};

// Printable keys that both versions number by their character.
bool isSharedPrintable(int key) {
    switch (key) {
    case 32: case 39: case 44: case 45: case 46: case 47: case 59: case 61:
    case 91: case 92: case 93: case 96:
        return true;
    default:
        return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
    }
}

} // namespace

int keyFromGlfw3(int glfw3Key) {
    if (isSharedPrintable(glfw3Key)) return glfw3Key;
    if (glfw3Key >= GLFW_KEY_F1 && glfw3Key <= GLFW_KEY_F25)
        return KEY_F1 + (glfw3Key - GLFW_KEY_F1);
    if (glfw3Key >= GLFW_KEY_KP_0 && glfw3Key <= GLFW_KEY_KP_9)
        return KEY_KP_0 + (glfw3Key - GLFW_KEY_KP_0);
    for (const KeyPair& p : kSpecialKeys)
        if (p.key3 == glfw3Key) return p.key2;
    return KEY_UNKNOWN;
}

int keyToGlfw3(int key) {
    if (isSharedPrintable(key)) return key;
    if (key >= KEY_F1 && key <= KEY_F25) return GLFW_KEY_F1 + (key - KEY_F1);
    if (key >= KEY_KP_0 && key <= KEY_KP_9) return GLFW_KEY_KP_0 + (key - KEY_KP_0);
    for (const KeyPair& p : kSpecialKeys)
        if (p.key2 == key) return p.key3;
    return KEY_UNKNOWN;
}

} // namespace glfw2
