#pragma once
#include <btBulletDynamicsCommon.h>

namespace Engine {

class Vehicle;

// Keeps a car, its four wheel actors and the physics in step: hands the
// world the car's start transform and, after every step, copies the chassis
// transform into the car and each suspension wheel's into its wheel actor.
class VehicleMotionState : public btMotionState {
public:
    explicit VehicleMotionState(Vehicle* vehicle);
    ~VehicleMotionState() override;

    void getWorldTransform(btTransform& worldTrans) const override;
    void setWorldTransform(const btTransform& worldTrans) override;

    Vehicle* vehicle; // not owned
};

} // namespace Engine
