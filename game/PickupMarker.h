#pragma once
#include "engine/Actor.h"

namespace Engine {

// A spinning pick-up box on the table: a car without an item that touches it
// gets a random one, and every car touch sends the box back up into the air
// above its place.
class PickupMarker : public Actor {
public:
    PickupMarker();
    ~PickupMarker() override;

    void onCollision(Actor* other) override;
    void update(float dt) override;
    void updateModelMatrix() override;

    // Puts the box 100 units up at its x and z, at rest.
    void respawn();

    float spinAngle = 0.0f; // degrees
    int lastRoll = 0;       // the last draw, 0 to 100
    bool respawnPending = false;
};

} // namespace Engine
