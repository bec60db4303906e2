#pragma once
#include "game/Item.h"
#include "game/MeshBounds.h"

namespace Engine {

class RocketProximityHalo;
class SmokeEmitter;

// A rocket: launched along its car's forward direction, pushed by a constant
// force without gravity, trailing smoke; its proximity sphere sets it off.
// The car that launched it is the actor's `owner`.
class Rocket : public Item {
public:
    explicit Rocket(Actor* owner);
    // A rocket that goes without exploding lets its trail run out and
    // unhooks its sphere.
    ~Rocket() override;

    void update(float dt) override;
    bool use(btDynamicsWorld* world) override;

    // Once only: asks to be removed, leaves an explosion where it is and
    // lets go of its trail, which then runs out.
    void explode();
    // The bounds of the rocket's mesh, or the shipped rocket's without one.
    static MeshBounds meshBounds(const MeshHandler* mesh);

    float thrust = 8000.0f;
    btVector3 thrustVector;
    SmokeEmitter* smokeTrail = nullptr;           // the level owns it
    RocketProximityHalo* proximityHalo = nullptr; // the level owns it
    bool exploded = false;
};

} // namespace Engine
