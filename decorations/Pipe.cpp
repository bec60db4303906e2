#include "decorations/Pipe.h"

namespace Decorations {

Pipe::Pipe() {
    useMesh("meshes/pipe.obj", 5.0e7f, 5.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
