#pragma once
#include "engine/Camera.h"

namespace Engine {

// Orthographic camera over the unit square for the head-up display: x to
// the right and y up from the viewport's bottom-left corner; a larger z is
// nearer the viewer.
class HUDCamera : public Camera {
public:
    HUDCamera(int x, int y, int width, int height);

    void update(float dt) override;
    void updateTransform() override;

    glm::vec3 target; // unused
    glm::vec3 up;     // unused
};

} // namespace Engine
