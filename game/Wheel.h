#pragma once
#include "engine/Actor.h"

namespace Engine {

// One wheel of a car as drawn: no body of its own; the car's motion state
// places it where the suspension puts the wheel, and the car draws it.
class Wheel : public Actor {
public:
    Wheel();
    ~Wheel() override;

    // A wheel never gets a body.
    bool addToWorld(btDynamicsWorld* world) override;

    float height; // y extent of the wheel mesh
};

} // namespace Engine
