#include "game/Wheel.h"

#include "engine/ResourceRegistry.h"
#include "game/MeshBounds.h"

namespace Engine {

namespace {
// The shipped wheel, one unit tall.
const MeshBounds kShippedWheel{{-0.22f, -0.5f, -0.5f}, {0.22f, 0.5f, 0.5f}};
} // namespace

Wheel::Wheel() {
    mesh = ResourceRegistry::getMesh("meshes/wheel/wheel.obj");
    height = boundsOr(mesh, kShippedWheel).extent().y;
    // Drawn one unit tall, matching the suspension's wheel radius of 0.5.
    const float s = 1.0f / height;
    scale = glm::vec3(s, s, s);
}

Wheel::~Wheel() = default;

bool Wheel::addToWorld(btDynamicsWorld*) {
    return false;
}

} // namespace Engine
