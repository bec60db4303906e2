#include "decorations/WoodTable.h"

#include "engine/ResourceRegistry.h"

namespace Decorations {

WoodTable::WoodTable() {
    mesh = ResourceRegistry::getMesh("meshes/woodtable/woodtable.obj");
    mass = 0.0f;
    setScale(1.0f);
    collisionShape = new btBoxShape(getSize());
}

WoodTable::~WoodTable() = default;

} // namespace Decorations
