#include "engine/JoyInput.h"

#include <algorithm>

#include "engine/Log.h"
#include "platform/Glfw2.h"

JoyInput* JoyInput::instance = nullptr;

namespace {
// Axis positions inside this band count as centred.
constexpr float kThreshold = 0.2f;
} // namespace

JoyInput::JoyInput() {
    readyCount = 0;
    log("JoyInput: ");
    for (int j = 0; j < JOYSTICK_COUNT; ++j) {
        if (glfw2::getJoystickParam(j, glfw2::PRESENT)) {
            log(readyCount == 0 ? "slots: " : ",");
            ++readyCount;
            present[j] = true;
            log(j);
            axisCount[j] = std::max(0, glfw2::getJoystickParam(j, glfw2::AXES));
            buttonCount[j] = std::max(0, glfw2::getJoystickParam(j, glfw2::BUTTONS));
        } else {
            present[j] = false;
            axisCount[j] = 0;
            buttonCount[j] = 0;
        }
    }
    if (readyCount > 0) {
        log(" ready (total nuber of ready joysticks: ");
        log(readyCount);
        log(")\n");
    } else {
        log("none found\n");
    }
    maxAxes = *std::max_element(axisCount.begin(), axisCount.end());
    maxButtons = *std::max_element(buttonCount.begin(), buttonCount.end());
    axes.assign(maxAxes, 0.0f);
    buttons.assign(maxButtons, 0);
}

JoyInput& JoyInput::get() {
    if (!instance) instance = new JoyInput();
    return *instance;
}

bool JoyInput::valid(int joystick) { return joystick >= 0 && joystick < JOYSTICK_COUNT; }

void JoyInput::poll(int joystick) {
    JoyInput& in = get();
    if (!valid(joystick)) return;
    const int na = in.axisCount[joystick];
    const int nb = in.buttonCount[joystick];
    const int readAxes = glfw2::getJoystickPos(joystick, in.axes.data(), na);
    const int readButtons = glfw2::getJoystickButtons(joystick, in.buttons.data(), nb);
    // A stick unplugged since start-up reads nothing: show it centred with no
    // button held rather than what the previously polled stick left behind.
    std::fill(in.axes.begin() + std::clamp(readAxes, 0, na), in.axes.begin() + na, 0.0f);
    std::fill(in.buttons.begin() + std::clamp(readButtons, 0, nb), in.buttons.begin() + nb, 0);
}

bool JoyInput::isPressed(int joystick, int code) {
    JoyInput& in = get();
    if (code == DOWN) return isDown(joystick);
    if (code == LEFT) return isLeft(joystick);
    if (code == RIGHT) return isRight(joystick);
    if (code == UP) return isUp(joystick);
    if (!valid(joystick) || code < 0 || code >= in.buttonCount[joystick]) return false;
    return in.buttons[code] == 1;
}

bool JoyInput::isUp(int joystick) {
    const JoyInput& in = get();
    return valid(joystick) && in.axisCount[joystick] >= 2 && in.axes[1] > kThreshold;
}

bool JoyInput::isDown(int joystick) {
    const JoyInput& in = get();
    return valid(joystick) && in.axisCount[joystick] >= 2 && in.axes[1] < -kThreshold;
}

bool JoyInput::isLeft(int joystick) {
    const JoyInput& in = get();
    return valid(joystick) && in.axisCount[joystick] >= 1 && in.axes[0] < -kThreshold;
}

bool JoyInput::isRight(int joystick) {
    const JoyInput& in = get();
    return valid(joystick) && in.axisCount[joystick] >= 1 && in.axes[0] > kThreshold;
}

void JoyInput::reset() {
    delete instance;
    instance = nullptr;
}
