// GLFW 2.7-style window, input and clock calls on top of GLFW 3, with the
// test seam that fakes keys, joysticks and time.
#include "platform/Glfw2.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace glfw2 {
namespace {

struct FakeJoystick {
    bool present = false;
    std::vector<float> axes;
    std::vector<unsigned char> buttons;
};

struct State {
    bool initialised = false;
    GLFWwindow* window = nullptr;
    bool noResize = false;
    KeyCallback callback = nullptr;
    // Presses of the latched keys seen by the last event poll.
    std::array<bool, KEY_LAST + 1> pressedInPoll{};

    // Seam.
    bool hiddenWindows = false;
    bool fakeKeys = false;
    std::array<bool, KEY_LAST + 1> keyDown{};
    bool fakeJoysticks = false;
    std::array<FakeJoystick, JOYSTICK_COUNT> joysticks{};
    bool fakeTime = false;
    double time = 0.0;
    std::vector<std::pair<int, int>> queuedKeys;
    void (*beforeSwap)() = nullptr;
};

State& state() {
    static State s;
    return s;
}

bool validKey(int key) { return key >= 0 && key <= KEY_LAST; }
bool validJoystick(int joy) { return joy >= 0 && joy < JOYSTICK_COUNT; }

// The keys the program polls to stop (Escape, Alt with F4) and the function
// keys: a tap shorter than a frame must not be lost. Game controls are held,
// and read only their state.
bool latched(int key) {
    return key == KEY_ESC || key == KEY_LALT || (key >= KEY_F1 && key <= KEY_F25);
}

void onKey(GLFWwindow*, int key3, int, int action, int) {
    if (action == GLFW_REPEAT) return;
    const int key = keyFromGlfw3(key3);
    if (key == KEY_UNKNOWN) return;
    if (action == GLFW_PRESS && latched(key)) state().pressedInPoll[key] = true;
    if (state().callback)
        state().callback(key, action == GLFW_PRESS ? PRESS : RELEASE);
}

} // namespace

int init() {
    State& s = state();
    if (s.initialised) return 1;
    s.initialised = glfwInit() == GLFW_TRUE;
    return s.initialised ? 1 : 0;
}

void terminate() {
    State& s = state();
    if (s.window) glfwDestroyWindow(s.window);
    s.window = nullptr;
    s.pressedInPoll.fill(false);
    if (s.initialised) glfwTerminate();
    s.initialised = false;
}

void openWindowHint(int target, int hint) {
    if (target == WINDOW_NO_RESIZE) state().noResize = hint != 0;
}

int openWindow(int width, int height, int redbits, int greenbits, int bluebits,
               int alphabits, int depthbits, int stencilbits, int mode) {
    State& s = state();
    if (!s.initialised || s.window || width <= 0 || height <= 0) return 0;
    glfwDefaultWindowHints();
    // Zero bits means "the library's choice", as in 2.7.
    if (redbits > 0) glfwWindowHint(GLFW_RED_BITS, redbits);
    if (greenbits > 0) glfwWindowHint(GLFW_GREEN_BITS, greenbits);
    if (bluebits > 0) glfwWindowHint(GLFW_BLUE_BITS, bluebits);
    if (alphabits > 0) glfwWindowHint(GLFW_ALPHA_BITS, alphabits);
    glfwWindowHint(GLFW_DEPTH_BITS, depthbits);
    glfwWindowHint(GLFW_STENCIL_BITS, stencilbits);
    glfwWindowHint(GLFW_RESIZABLE, s.noResize ? GLFW_FALSE : GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, s.hiddenWindows ? GLFW_FALSE : GLFW_TRUE);
    GLFWmonitor* monitor = mode == FULLSCREEN ? glfwGetPrimaryMonitor() : nullptr;
    s.window = glfwCreateWindow(width, height, "", monitor, nullptr);
    if (!s.window) return 0;
    glfwMakeContextCurrent(s.window);
    glfwSetKeyCallback(s.window, onKey);
    return 1;
}

void setWindowTitle(const char* title) {
    if (state().window && title) glfwSetWindowTitle(state().window, title);
}

int getKey(int key) {
    State& s = state();
    if (s.fakeKeys) return validKey(key) && s.keyDown[key] ? PRESS : RELEASE;
    const int key3 = keyToGlfw3(key);
    if (!s.window || key3 == KEY_UNKNOWN) return RELEASE;
    if (validKey(key) && s.pressedInPoll[key]) return PRESS;
    return glfwGetKey(s.window, key3) == GLFW_PRESS ? PRESS : RELEASE;
}

void getWindowSize(int* width, int* height) {
    int w = 0, h = 0;
    if (state().window) glfwGetFramebufferSize(state().window, &w, &h);
    if (width) *width = w;
    if (height) *height = h;
}

void getDesktopMode(VidMode* mode) {
    if (!mode) return;
    *mode = VidMode{0, 0, 0, 0, 0};
    if (!state().initialised) return;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* current = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (current)
        *mode = VidMode{current->width, current->height, current->redBits, current->greenBits,
                        current->blueBits};
}

void setKeyCallback(KeyCallback callback) { state().callback = callback; }

int getWindowParam(int param) {
    const State& s = state();
    if (param == OPENED) return s.window && !glfwWindowShouldClose(s.window) ? 1 : 0;
    return 0;
}

void swapBuffers() {
    State& s = state();
    if (!s.window) return;
    if (s.beforeSwap) s.beforeSwap();
    glfwSwapBuffers(s.window);
    s.pressedInPoll.fill(false);
    glfwPollEvents();
    std::vector<std::pair<int, int>> queued;
    queued.swap(s.queuedKeys);
    for (const auto& [key, action] : queued) seam::sendKey(key, action);
}

double getTime() {
    const State& s = state();
    if (s.fakeTime) return s.time;
    return s.initialised ? glfwGetTime() : 0.0;
}

int getJoystickParam(int joy, int param) {
    const State& s = state();
    if (!validJoystick(joy)) return 0;
    if (s.fakeJoysticks) {
        const FakeJoystick& j = s.joysticks[joy];
        if (!j.present) return 0;
        if (param == PRESENT) return 1;
        if (param == AXES) return static_cast<int>(j.axes.size());
        if (param == BUTTONS) return static_cast<int>(j.buttons.size());
        return 0;
    }
    if (!s.initialised) return 0;
    const int id = GLFW_JOYSTICK_1 + joy;
    if (!glfwJoystickPresent(id)) return 0;
    int count = 0;
    if (param == PRESENT) return 1;
    if (param == AXES) glfwGetJoystickAxes(id, &count);
    else if (param == BUTTONS) glfwGetJoystickButtons(id, &count);
    return count;
}

int getJoystickPos(int joy, float* pos, int numaxes) {
    const State& s = state();
    if (!validJoystick(joy) || !pos || numaxes <= 0) return 0;
    const float* axes = nullptr;
    int count = 0;
    if (s.fakeJoysticks) {
        const FakeJoystick& j = s.joysticks[joy];
        if (!j.present) return 0;
        axes = j.axes.data();
        count = static_cast<int>(j.axes.size());
    } else {
        if (!s.initialised || !glfwJoystickPresent(GLFW_JOYSTICK_1 + joy)) return 0;
        axes = glfwGetJoystickAxes(GLFW_JOYSTICK_1 + joy, &count);
        if (!axes) return 0;
    }
    const int n = std::min(count, numaxes);
    // 2.7 on Linux reported the Y axes with up positive.
    for (int i = 0; i < n; ++i) pos[i] = (i % 2 == 1) ? -axes[i] : axes[i];
    return n;
}

int getJoystickButtons(int joy, unsigned char* buttons, int numbuttons) {
    const State& s = state();
    if (!validJoystick(joy) || !buttons || numbuttons <= 0) return 0;
    const unsigned char* src = nullptr;
    int count = 0;
    if (s.fakeJoysticks) {
        const FakeJoystick& j = s.joysticks[joy];
        if (!j.present) return 0;
        src = j.buttons.data();
        count = static_cast<int>(j.buttons.size());
    } else {
        if (!s.initialised || !glfwJoystickPresent(GLFW_JOYSTICK_1 + joy)) return 0;
        src = glfwGetJoystickButtons(GLFW_JOYSTICK_1 + joy, &count);
        if (!src) return 0;
    }
    const int n = std::min(count, numbuttons);
    for (int i = 0; i < n; ++i) buttons[i] = src[i] == GLFW_PRESS ? 1 : 0;
    return n;
}

namespace seam {

void reset() {
    State& s = state();
    s.fakeKeys = false;
    s.keyDown.fill(false);
    s.fakeJoysticks = false;
    s.joysticks.fill(FakeJoystick{});
    s.fakeTime = false;
    s.time = 0.0;
    s.hiddenWindows = false;
    s.queuedKeys.clear();
    s.beforeSwap = nullptr;
}

void setKey(int key, bool down) {
    State& s = state();
    s.fakeKeys = true;
    if (validKey(key)) s.keyDown[key] = down;
}

void sendKey(int key, int action) {
    setKey(key, action == PRESS);
    if (state().callback) state().callback(key, action);
}

void queueKey(int key, int action) { state().queuedKeys.emplace_back(key, action); }

void setJoystick(int joy, int axisCount, const float* axes, int buttonCount,
                 const unsigned char* buttons) {
    State& s = state();
    s.fakeJoysticks = true;
    if (!validJoystick(joy)) return;
    FakeJoystick& j = s.joysticks[joy];
    j.present = true;
    j.axes.assign(axes, axes + std::max(0, axes ? axisCount : 0));
    j.buttons.assign(buttons, buttons + std::max(0, buttons ? buttonCount : 0));
}

void removeJoystick(int joy) {
    State& s = state();
    s.fakeJoysticks = true;
    if (validJoystick(joy)) s.joysticks[joy] = FakeJoystick{};
}

void setTime(double t) {
    state().fakeTime = true;
    state().time = t;
}

void setHiddenWindows(bool hidden) { state().hiddenWindows = hidden; }

void setBeforeSwap(void (*hook)()) { state().beforeSwap = hook; }

} // namespace seam
} // namespace glfw2
