#include "decorations/Glass.h"

#include "engine/ResourceRegistry.h"

namespace Decorations {

// No scale is set here: the first box is made when the level scales and
// places the glass.
Glass::Glass() {
    mesh = ResourceRegistry::getMesh("meshes/glass.obj");
    mass = 400.0f;
}

// The body may still hold an older box than collisionShape: free the body
// first, then that box; the Actor destructor frees the rest.
Glass::~Glass() {
    delete rigidBody;
    rigidBody = nullptr;
    delete bodyShape;
}

void Glass::onTransformChanged() {
    btCollisionShape* fresh = makeBox();
    if (!fresh) return;
    btCollisionShape* replaced = collisionShape;
    collisionShape = fresh;
    if (!replaced) return;
    // Only the body's own box must live on; any other replaced box goes at
    // once, so rebuilds never pile up.
    if (rigidBody && rigidBody->getCollisionShape() == replaced)
        bodyShape = replaced;
    else
        delete replaced;
}

} // namespace Decorations
