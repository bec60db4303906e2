#include "decorations/GameBoy.h"

namespace Decorations {

GameBoy::GameBoy() {
    useMesh("meshes/gameboy.obj", 800.0f, 2.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
