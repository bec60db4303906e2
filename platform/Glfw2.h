#pragma once
// The window, keyboard, joystick and clock interface the program is written
// against: the calls and numbers of GLFW 2.7, implemented on GLFW 3.
//
// Key codes, actions and parameter numbers are GLFW 2.7's, because the
// configuration file stores 2.7 key codes. The names carry no GLFW_ prefix so
// that they can never collide with GLFW 3's macros of the same meaning but
// other values. This header does not include GLFW 3.

namespace glfw2 {

// Key actions.
enum : int { RELEASE = 0, PRESS = 1 };

// Window modes for openWindow.
enum : int { WINDOW = 0x00010001, FULLSCREEN = 0x00010002 };

// Window parameters and hints.
enum : int { OPENED = 0x00020001, WINDOW_NO_RESIZE = 0x0002100A };

// Joystick parameters.
enum : int { PRESENT = 0x00050001, AXES = 0x00050002, BUTTONS = 0x00050003 };

enum : int { JOYSTICK_COUNT = 8 };

// A video mode: size in pixels and bits per colour channel.
struct VidMode {
    int width, height;
    int redBits, greenBits, blueBits;
};

// Key codes. Printable keys use their upper-case character code.
enum : int {
    KEY_UNKNOWN = -1,
    KEY_SPACE = 32,
    KEY_SPECIAL = 256,
    KEY_ESC = 257,
    KEY_F1 = 258, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8,
    KEY_F9, KEY_F10, KEY_F11, KEY_F12, KEY_F13, KEY_F14, KEY_F15, KEY_F16,
    KEY_F17, KEY_F18, KEY_F19, KEY_F20, KEY_F21, KEY_F22, KEY_F23, KEY_F24,
    KEY_F25,
    KEY_UP = 283, KEY_DOWN, KEY_LEFT, KEY_RIGHT,
    KEY_LSHIFT = 287, KEY_RSHIFT, KEY_LCTRL, KEY_RCTRL, KEY_LALT, KEY_RALT,
    KEY_TAB = 293, KEY_ENTER, KEY_BACKSPACE, KEY_INSERT, KEY_DEL,
    KEY_PAGEUP = 298, KEY_PAGEDOWN, KEY_HOME, KEY_END,
    KEY_KP_0 = 302, KEY_KP_1, KEY_KP_2, KEY_KP_3, KEY_KP_4, KEY_KP_5,
    KEY_KP_6, KEY_KP_7, KEY_KP_8, KEY_KP_9,
    KEY_KP_DIVIDE = 312, KEY_KP_MULTIPLY, KEY_KP_SUBTRACT, KEY_KP_ADD,
    KEY_KP_DECIMAL, KEY_KP_EQUAL, KEY_KP_ENTER,
    KEY_KP_NUM_LOCK = 319, KEY_CAPS_LOCK, KEY_SCROLL_LOCK, KEY_PAUSE,
    KEY_LSUPER = 323, KEY_RSUPER, KEY_MENU,
    KEY_LAST = KEY_MENU
};

using KeyCallback = void (*)(int key, int action);

// Returns 1 on success, 0 when no display can be opened.
int init();
// Closes the window (if any) and shuts the library down.
void terminate();
// Only WINDOW_NO_RESIZE is honoured; it applies to the next openWindow.
void openWindowHint(int target, int hint);
// Bit counts of 0 leave the choice to the library. Returns 1 on success, 0 on
// failure (no display, or a mode the system cannot give).
int openWindow(int width, int height, int redbits, int greenbits, int bluebits,
               int alphabits, int depthbits, int stencilbits, int mode);
void setWindowTitle(const char* title);
// Size in pixels of the window's drawing area; 0 by 0 without a window.
void getWindowSize(int* width, int* height);
// The desktop's video mode (the primary monitor's current mode); all zero
// when it cannot be known.
void getDesktopMode(VidMode* mode);
// PRESS while the key is down as of the last event poll, else RELEASE.
// Escape, the function keys and the left Alt key also read PRESS when they
// were pressed during the last poll and already released again: a short tap
// between two frames still counts.
int getKey(int key);
// Called from inside swapBuffers with (key, PRESS or RELEASE); key repeats
// and keys without a 2.7 code are not reported.
void setKeyCallback(KeyCallback callback);
// OPENED: 1 while the window exists and has not been asked to close.
int getWindowParam(int param);
// Swaps the window's buffers, then polls events (as 2.7 did).
void swapBuffers();
// Seconds since init.
double getTime();
// Joysticks 0-7. Odd-numbered axes are negated so that up is positive, as
// 2.7 reported them on Linux. An absent or out-of-range joystick reads 0 and
// writes nothing.
int getJoystickParam(int joy, int param);
int getJoystickPos(int joy, float* pos, int numaxes);
int getJoystickButtons(int joy, unsigned char* buttons, int numbuttons);

// Key-code translation between GLFW 2.7 and GLFW 3. A code with no
// counterpart gives KEY_UNKNOWN (-1).
int keyFromGlfw3(int glfw3Key);
int keyToGlfw3(int key);

// Lets code outside the program (tests) fake the devices and the clock and
// open hidden windows. Every override lasts until reset().
namespace seam {
void reset();
// Once any key is set, getKey reads only the faked key table.
void setKey(int key, bool down);
// Delivers a key event to the registered callback, as a buffer swap would;
// also updates the faked key table.
void sendKey(int key, int action);
// Queues a key event that the next swapBuffers delivers to the registered
// callback, as if the event poll inside it had found it.
void queueKey(int key, int action);
// Once any joystick is set, joystick queries read only the faked joysticks.
// Axes are given as the device reports them to GLFW 3 (Y down positive): the
// reads negate the odd ones exactly as for a real stick. Buttons: 1 pressed.
void setJoystick(int joy, int axisCount, const float* axes, int buttonCount,
                 const unsigned char* buttons);
void removeJoystick(int joy);
// Freezes the clock at t seconds.
void setTime(double t);
// Windows opened while this is on are not shown on screen.
void setHiddenWindows(bool hidden);
// Called by swapBuffers right before the swap, while the back buffer still
// holds the finished picture (to read it); null for none.
void setBeforeSwap(void (*hook)());
} // namespace seam

} // namespace glfw2
