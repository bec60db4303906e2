#include "decorations/Ball.h"

#include "engine/MeshHandler.h"

namespace Decorations {

Ball::Ball() {
    useMesh("meshes/pokeball.obj", 400.0f, 100.0f);
    // The radius follows the mesh's maximum x times 100, not the actor's scale.
    if (hasGeometry(mesh)) collisionShape = new btSphereShape(mesh->maxX * 100.0f);
}

} // namespace Decorations
