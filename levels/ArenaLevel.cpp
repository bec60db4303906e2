#include "levels/ArenaLevel.h"

#include "engine/Log.h"

namespace Engine {

ArenaLevel::ArenaLevel() = default;

ArenaLevel::~ArenaLevel() = default;

void ArenaLevel::addVehicle(Vehicle* vehicle) {
    Level::addVehicle(vehicle);
    lives.push_back(startLives);
}

void ArenaLevel::onVehicleLost(Vehicle* vehicle) {
    if (!vehicle) return;
    for (int i = static_cast<int>(vehicles.size()) - 1; i >= 0; --i) {
        if (vehicles[i] != vehicle) continue;
        // A vehicle added through the base operation alone has no counter.
        if (static_cast<size_t>(i) >= lives.size()) return;
        lives[i] -= 1;
        log("ArenaLevel: Player ");
        log(i + 1);
        log(" has ");
        log(lives[i]);
        log(" life(s) left.\n");
        return;
    }
}

} // namespace Engine
