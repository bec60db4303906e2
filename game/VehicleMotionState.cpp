#include "game/VehicleMotionState.h"

#include "engine/GenericMotionState.h"
#include "game/Vehicle.h"
#include "game/Wheel.h"

namespace Engine {

VehicleMotionState::VehicleMotionState(Vehicle* vehicle) : vehicle(vehicle) {}

VehicleMotionState::~VehicleMotionState() = default;

void VehicleMotionState::getWorldTransform(btTransform& worldTrans) const {
    GenericMotionState::transformOf(*vehicle, worldTrans);
}

void VehicleMotionState::setWorldTransform(const btTransform& worldTrans) {
    GenericMotionState::applyTransform(*vehicle, worldTrans);
    btRaycastVehicle* raycast = vehicle->raycastVehicle.get();
    if (!raycast) return;
    for (int i = raycast->getNumWheels() - 1; i >= 0; --i) {
        // Interpolated: the chassis transform just written into the car.
        raycast->updateWheelTransform(i, true);
        if (static_cast<size_t>(i) >= vehicle->wheels.size() || !vehicle->wheels[i]) continue;
        GenericMotionState::applyTransform(*vehicle->wheels[i], raycast->getWheelTransformWS(i));
    }
}

} // namespace Engine
