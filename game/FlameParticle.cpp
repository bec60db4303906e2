#include "game/FlameParticle.h"

#include "engine/ResourceRegistry.h"

namespace Engine {

FlameParticle::FlameParticle() {
    mesh = ResourceRegistry::getMesh("meshes/particles/flameParticle.obj");
    scale = glm::vec3(3.0f, 3.0f, 3.0f);
    fadeTime = 0.5f;
    remainingLife = 0.5f;
}

} // namespace Engine
