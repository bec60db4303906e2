#pragma once
// Sizes of game objects come from their meshes' bounds. A mesh that could
// not be found, or that is flat along an axis, would give a division by zero
// or a shape without volume: such an object is sized as the shipped model
// instead (the missing file has been named in the log by the registry).
#include <cmath>

#include <glm/glm.hpp>

#include "engine/MeshHandler.h"

namespace Engine {

struct MeshBounds {
    glm::vec3 min;
    glm::vec3 max;
    glm::vec3 extent() const { return max - min; }
};

// The mesh's bounds when it has a finite, non-zero extent on every axis,
// else the fallback.
inline MeshBounds boundsOr(const MeshHandler* mesh, const MeshBounds& fallback) {
    if (!mesh) return fallback;
    const MeshBounds b{glm::vec3(mesh->minX, mesh->minY, mesh->minZ),
                       glm::vec3(mesh->maxX, mesh->maxY, mesh->maxZ)};
    const glm::vec3 e = b.extent();
    for (int i = 0; i < 3; ++i)
        if (!(e[i] > 0.0f) || !std::isfinite(e[i])) return fallback;
    return b;
}

} // namespace Engine
