#include "decorations/Pyramid.h"

namespace Decorations {

Pyramid::Pyramid() {
    useMesh("meshes/laptop/laptop.obj", 0.0f, 2.0f);
}

} // namespace Decorations
