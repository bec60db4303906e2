#include "decorations/DCube.h"

namespace Decorations {

DCube::DCube() {
    useMesh("meshes/cube/dcube.obj", 800.0f, 10.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
