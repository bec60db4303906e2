#pragma once
#include "engine/Actor.h"

namespace Engine {

// Base of the trigger spheres: a dynamic sphere body that takes part in
// collision detection but not in the contact response, so the world reports
// what overlaps it without pushing anything. Never drawn.
class CollisionHalo : public Actor {
public:
    CollisionHalo();
    ~CollisionHalo() override;

    bool addToWorld(btDynamicsWorld* world) override;
};

} // namespace Engine
