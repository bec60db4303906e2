#include "decorations/Toiletpaper.h"

namespace Decorations {

Toiletpaper::Toiletpaper() {
    useMesh("meshes/toiletpaper.obj", 1200.0f, 170.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
