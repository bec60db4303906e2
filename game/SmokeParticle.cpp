#include "game/SmokeParticle.h"

#include "engine/ResourceRegistry.h"

namespace Engine {

SmokeParticle::SmokeParticle() {
    mesh = ResourceRegistry::getMesh("meshes/particles/smokeParticle.obj");
    scale = glm::vec3(3.0f, 3.0f, 3.0f);
    fadeTime = 1.0f;
}

} // namespace Engine
