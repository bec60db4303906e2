#include "decorations/BCube.h"

namespace Decorations {

BCube::BCube() {
    useMesh("meshes/cube/bcube.obj", 800.0f, 10.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
