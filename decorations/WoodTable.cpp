#include "decorations/WoodTable.h"

namespace Decorations {

WoodTable::WoodTable() {
    useMesh("meshes/woodtable/woodtable.obj", 0.0f, 1.0f);
    collisionShape = makeBox();
}

} // namespace Decorations
