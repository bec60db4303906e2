#pragma once
#include "engine/Actor.h"

namespace Engine {

// A player's car as the level sees it: an actor with the five control
// operations that the level's input mapping calls once per held control and
// frame, before the actors are updated. The driving itself (request flags,
// steering, items, suspension) is not built yet: these operations do nothing.
class Vehicle : public Actor {
public:
    Vehicle();
    ~Vehicle() override;

    virtual void accelerate(float dt);
    virtual void brake(float dt);
    virtual void steerLeft(float dt);
    virtual void steerRight(float dt);
    virtual void useItem();
};

} // namespace Engine
