#pragma once
#include <vector>

#include "engine/Level.h"

namespace Engine {

// Base of the two-player arena levels: one lives counter per vehicle,
// counted down (without a floor) each time that vehicle leaves the arena.
class ArenaLevel : public Level {
public:
    ArenaLevel();
    ~ArenaLevel() override;

    // Adds the vehicle as the next player, with `startLives` lives.
    void addVehicle(Vehicle* vehicle) override;
    // Takes one life from the vehicle and logs what is left; a vehicle the
    // level does not hold changes nothing.
    void onVehicleLost(Vehicle* vehicle) override;

    int startLives = 5;
    // Entry i belongs to the vehicle at index i of `vehicles`.
    std::vector<int> lives;
};

} // namespace Engine
