#include "decorations/CCube.h"

namespace Decorations {

CCube::CCube() {
    useMesh("meshes/cube/ccube.obj", 800.0f, 10.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
