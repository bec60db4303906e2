#include "game/Vehicle.h"

namespace Engine {

Vehicle::Vehicle() = default;

Vehicle::~Vehicle() = default;

void Vehicle::accelerate(float) {}

void Vehicle::brake(float) {}

void Vehicle::steerLeft(float) {}

void Vehicle::steerRight(float) {}

void Vehicle::useItem() {}

} // namespace Engine
