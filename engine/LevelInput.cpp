#include <algorithm>

#include "engine/Config.h"
#include "engine/JoyInput.h"
#include "engine/Level.h"
#include "game/Vehicle.h"
#include "platform/Glfw2.h"

namespace Engine {

// Each held control is applied once per frame, the last player first. A
// device other than the keyboard takes the joystick path, where a joystick
// that is not there (or a player who is not configured) has nothing held.
void Level::handleInput(float dt) {
    const size_t bound = std::min({vehicles.size(), upKeys.size(), downKeys.size(),
                                   leftKeys.size(), rightKeys.size(), fireKeys.size()});
    for (int i = static_cast<int>(bound) - 1; i >= 0; --i) {
        Vehicle* vehicle = vehicles[i];
        if (!vehicle) continue;
        const int device = Config::getInputDevice(i);
        if (device == -1) {
            if (glfw2::getKey(upKeys[i])) vehicle->accelerate(dt);
            if (glfw2::getKey(leftKeys[i])) vehicle->steerLeft(dt);
            if (glfw2::getKey(rightKeys[i])) vehicle->steerRight(dt);
            if (glfw2::getKey(downKeys[i])) vehicle->brake(dt);
            if (glfw2::getKey(fireKeys[i])) vehicle->useItem();
        } else {
            JoyInput::poll(device);
            if (JoyInput::isPressed(device, upKeys[i])) vehicle->accelerate(dt);
            if (JoyInput::isPressed(device, downKeys[i])) vehicle->brake(dt);
            if (JoyInput::isPressed(device, leftKeys[i])) vehicle->steerLeft(dt);
            if (JoyInput::isPressed(device, rightKeys[i])) vehicle->steerRight(dt);
            if (JoyInput::isPressed(device, fireKeys[i])) vehicle->useItem();
        }
    }
}

} // namespace Engine
