#include "game/Particle.h"

#include <algorithm>

#include "engine/Camera.h"

namespace Engine {

Particle::Particle() {
    scale = glm::vec3(5.0f, 5.0f, 5.0f);
    billboard = true;
}

void Particle::update(float dt) {
    remainingLife -= dt;
    if (remainingLife < fadeTime) colorBias.a = std::max(remainingLife / fadeTime, 0.0f);
    if (remainingLife >= 0.0f)
        updateModelMatrix();
    else
        removeRequested = true;
}

float Particle::viewDepth(Camera* camera) const {
    if (!camera) return 0.0f;
    return (camera->transform * glm::vec4(position, 1.0f)).z;
}

} // namespace Engine
