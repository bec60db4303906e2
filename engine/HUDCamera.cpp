#include "engine/HUDCamera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace Engine {

HUDCamera::HUDCamera(int x, int y, int width, int height)
    : Camera(x, y, width, height), target(0.0f), up(0.0f) {
    projection = glm::ortho(0.0f, 1.0f, 0.0f, 1.0f, 0.1f, 10000.0f);
    position = glm::vec3(0.0f, 0.0f, -200.0f);
    updateTransform();
}

void HUDCamera::update(float /*dt*/) {}

// No tilt and no turn; the previous transform is left as it is.
void HUDCamera::updateTransform() {
    transform = glm::translate(projection, position);
}

} // namespace Engine
