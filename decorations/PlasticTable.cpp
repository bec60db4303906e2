#include "decorations/PlasticTable.h"

namespace Decorations {

PlasticTable::PlasticTable() {
    collisionShape = new btBoxShape(btVector3(100.0f, 1.0f, 100.0f));
    useMesh("meshes/plastictable_notex.obj", 0.0f, 1.0f);
}

} // namespace Decorations
