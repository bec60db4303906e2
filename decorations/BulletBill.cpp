#include "decorations/BulletBill.h"

namespace Decorations {

BulletBill::BulletBill() {
    useMesh("meshes/bulletbill.obj", 0.0f, 1.0f);
}

} // namespace Decorations
