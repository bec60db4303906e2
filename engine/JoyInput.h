#pragma once
#include <array>
#include <vector>

// The joysticks plugged in when input is first asked for (up to eight), and
// whether a player's control is held on one of them. A control code is an
// axis direction (1000 up, 1001 down, 1002 left, 1003 right) or a button
// number.
//
// One pair of buffers serves every joystick: poll a joystick right before
// asking about it.
class JoyInput {
public:
    static constexpr int JOYSTICK_COUNT = 8;
    static constexpr int UP = 1000;
    static constexpr int DOWN = 1001;
    static constexpr int LEFT = 1002;
    static constexpr int RIGHT = 1003;

    // Reads the axes and buttons of a joystick into the shared buffers.
    static void poll(int joystick);
    static bool isPressed(int joystick, int code);
    static bool isUp(int joystick);
    static bool isDown(int joystick);
    static bool isLeft(int joystick);
    static bool isRight(int joystick);

    // Forgets the joysticks so the next call probes them again (tests only).
    static void reset();

    JoyInput(const JoyInput&) = delete;
    JoyInput& operator=(const JoyInput&) = delete;

private:
    JoyInput();
    static JoyInput& get();
    static bool valid(int joystick);

    static JoyInput* instance;
    std::array<bool, JOYSTICK_COUNT> present{};
    int readyCount = 0;
    std::array<int, JOYSTICK_COUNT> axisCount{};
    std::array<int, JOYSTICK_COUNT> buttonCount{};
    int maxAxes = 0;
    std::vector<float> axes;
    int maxButtons = 0;
    std::vector<unsigned char> buttons;
};
