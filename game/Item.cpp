#include "game/Item.h"

namespace Engine {

Item::Item() : carryOffset(0.0f) {}

Item::~Item() = default;

bool Item::use(btDynamicsWorld*) {
    return false;
}

void Item::update(float) {}

} // namespace Engine
