#include "decorations/SkyDome.h"

namespace Decorations {

SkyDome::SkyDome() {
    useMesh("meshes/skydome.obj", 0.0f, 1.0f);
}

} // namespace Decorations
