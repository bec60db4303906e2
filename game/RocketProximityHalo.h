#pragma once
#include <glm/glm.hpp>

#include "game/CollisionHalo.h"

namespace Engine {

class Rocket;

// The fuse that rides with a launched rocket: it sets the rocket off when it
// touches anything but the rocket, the car that launched it and the table,
// or when it leaves the 500-unit box. Each frame it sweeps from its last
// place to the rocket's new one, so a fast rocket cannot pass through a car
// between two frames.
class RocketProximityHalo : public CollisionHalo {
public:
    explicit RocketProximityHalo(Rocket* rocket);
    ~RocketProximityHalo() override;

    void onCollision(Actor* other) override;
    void update(float dt) override;

    // Whether touching the actor sets the rocket off: anything but the
    // rocket, the car that launched it and the table.
    bool triggers(const Actor* other) const;

    // Not owned; null once the rocket is gone.
    Rocket* rocket;
    bool triggered = false;

private:
    // Whether the sphere, swept from `from` to `to`, meets anything that
    // sets the rocket off.
    bool sweepMeets(const glm::vec3& from, const glm::vec3& to) const;
    void setOff();

    glm::vec3 lastCentre;
};

} // namespace Engine
