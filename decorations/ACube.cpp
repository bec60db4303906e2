#include "decorations/ACube.h"

namespace Decorations {

ACube::ACube() {
    useMesh("meshes/cube/acube.obj", 800.0f, 10.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
