#include "decorations/Decoration.h"

#include <cmath>

#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"

namespace Engine {

Decoration::Decoration() = default;

Decoration::~Decoration() = default;

void Decoration::update(float) {}

bool Decoration::hasGeometry(const MeshHandler* mesh) {
    if (!mesh) return false;
    const float bounds[] = {mesh->minX, mesh->maxX, mesh->minY, mesh->maxY, mesh->minZ, mesh->maxZ};
    for (float b : bounds)
        if (!std::isfinite(b)) return false;
    for (const auto& entry : mesh->faceGroups)
        if (entry.second->vertexCount > 0) return true;
    return false;
}

void Decoration::useMesh(const std::string& meshFile, float newMass, float newScale) {
    mesh = ResourceRegistry::getMesh(meshFile);
    mass = newMass;
    setScale(newScale);
}

btCollisionShape* Decoration::makeBox() {
    if (!hasGeometry(mesh)) return nullptr;
    return new btBoxShape(getSize());
}

} // namespace Engine
