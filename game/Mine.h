#pragma once
#include "game/Item.h"

namespace Engine {

class Vehicle;

// A mine: dropped above its car, armed after a second of its own updates,
// set off once by any car that touches it. It spins while in the world.
class Mine : public Item {
public:
    // A null owner is a mine that a level places itself.
    explicit Mine(Vehicle* owner);
    ~Mine() override;

    void onCollision(Actor* other) override;
    void update(float dt) override;
    void updateModelMatrix() override;
    bool use(btDynamicsWorld* world) override;

    // Asks to be removed and leaves an explosion where it was.
    void explode();

    Vehicle* owner; // only while carried; not owned
    bool armed = false;
    float armDelay = 1.0f;
    float armTimer = 0.0f;
    bool exploded = false;
    float spinAngle = 0.0f; // degrees
};

} // namespace Engine
