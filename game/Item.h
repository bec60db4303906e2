#pragma once
#include "engine/Actor.h"

namespace Engine {

// Base of the items a car carries and uses. While carried an item has no
// body and is in no level list: the car places and draws it, and owns it.
class Item : public Actor {
public:
    Item();
    ~Item() override;

    // Uses the item in the car's world. False: the car lets go of it (the
    // level, or nobody, owns it from then on).
    virtual bool use(btDynamicsWorld* world);
    void update(float dt) override;

    glm::vec3 carryOffset; // added to the car's carry point
};

} // namespace Engine
