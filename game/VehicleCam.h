#pragma once
#include "engine/Camera.h"
#include "game/Plane.h"

namespace Engine {

class Vehicle;

// The chase camera of one player's half of the screen: follows its car from
// behind and above, gliding a fixed share of the way each frame, looks at a
// point above the car, moves back and forth with Page Up / Page Down, and
// culls by the near and far planes of its frustum.
class VehicleCam : public Camera {
public:
    // The car must already be in the physics world.
    VehicleCam(int x, int y, int width, int height, Vehicle* vehicle);

    void update(float dt) override;
    void updateTransform() override;
    bool isCulled(glm::vec3 centre, float radius) override;

    // The ideal place (negated eye point) behind the car's horizontal heading.
    void updateTarget();

    float distance = 13.0f;
    float eyeHeight = 10.0f;
    float lookHeight = 5.0f;
    glm::vec3 target;
    glm::vec3 lookOffset;
    // Near top left, near top right, near bottom left, near bottom right,
    // then the same four of the far plane.
    glm::vec3 corners[8];
    // Near, far, left, right, top, bottom.
    Plane planes[6];
    // Not owned. Null once the car has left the level: the camera stays
    // where it is.
    Vehicle* vehicle;
};

} // namespace Engine
