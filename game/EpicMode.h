#pragma once
#include "game/Item.h"

namespace Engine {

class Vehicle;

// The power-up item: using it starts its car's power-up mode.
class EpicMode : public Item {
public:
    explicit EpicMode(Vehicle* owner);
    ~EpicMode() override;

    void update(float dt) override;
    // In the world for the rest of the frame, then removed.
    bool use(btDynamicsWorld* world) override;

    Vehicle* owner; // the car that picked it up; not owned
};

} // namespace Engine
