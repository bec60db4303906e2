#include "decorations/WorldCup.h"

namespace Decorations {

WorldCup::WorldCup() {
    useMesh("meshes/worldcup.obj", 2000.0f, 10.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
