#include "decorations/Subaru.h"

namespace Decorations {

Subaru::Subaru() {
    useMesh("meshes/subaru.obj", 1000.0f, 200.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
