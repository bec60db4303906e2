#include "decorations/DecoWheel.h"

#include <cmath>

#include "decorations/Decoration.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"

namespace Decorations {

DecoWheel::DecoWheel() {
    mesh = ResourceRegistry::getMesh("meshes/wheel/wheel.obj");
    mass = 50.0f;
    // A missing or flat mesh has no height to divide by: the wheel keeps
    // scale 1 and gets no shape.
    if (!Engine::Decoration::hasGeometry(mesh)) return;
    const float s = 1.0f / (mesh->maxY - mesh->minY);
    if (!std::isfinite(s) || s <= 0.0f) return;
    // Written directly: the scale shows from the next rebuild of the model
    // matrix, which the motion state performs after the first step.
    scale = glm::vec3(s, s, s);
    collisionShape = new btCylinderShapeX(btVector3(mesh->maxX * s, mesh->maxY * s, mesh->maxZ * s));
}

bool DecoWheel::addToWorld(btDynamicsWorld* newWorld) {
    if (!Actor::addToWorld(newWorld)) return false;
    rigidBody->setFriction(1.0f);
    return true;
}

} // namespace Decorations
