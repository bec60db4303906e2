#include "decorations/Icon.h"

namespace Decorations {

Icon::Icon() {
    useMesh("meshes/icons/icon_car.obj", 0.0f, 1.0f);
}

} // namespace Decorations
