#pragma once
#include <memory>
#include <vector>

#include <BulletDynamics/Vehicle/btRaycastVehicle.h>

#include "engine/Actor.h"

namespace Engine {

class Item;
class Level;
class Wheel;

// A player's car: an actor whose rigid body is the chassis of a raycast
// vehicle on four suspended wheels, kept upright by a constraint to a static
// anchor. It turns the frame's control requests into engine force, brakes
// and steering, carries and uses one item, plays its crash sounds, runs the
// power-up mode and puts itself back at the reset point when it leaves the
// arena. Every car is a Vehicles::Car.
class Vehicle : public Actor {
public:
    Vehicle();
    // Takes whatever is still in the world out of it first; deletes the
    // wheels and the carried item with the car.
    ~Vehicle() override;

    // Builds the chassis body, the raycast vehicle with its four wheels, the
    // anchor and the upright constraint.
    bool addToWorld(btDynamicsWorld* world) override;
    // Crash sound, and the power-up mode's explosion.
    void onCollision(Actor* other) override;
    // The chassis, the four wheels and the carried item.
    void render(Camera* camera, const glm::vec4& ambientColor, const Light& light,
                bool useVBO) override;
    void update(float dt) override;
    // The car's normal mesh and scale; nothing in the bare vehicle.
    virtual void loadModel();

    // Takes the upright constraint, the raycast vehicle, the anchor and the
    // chassis body out of the world, before any of them is deleted. Safe to
    // call again.
    void removeFromWorld();

    // Control operations of the level's input mapping: the first two only
    // set this frame's requests; update acts on them and clears them.
    void accelerate(float dt);
    void brake(float dt);
    void steerLeft(float dt);
    void steerRight(float dt);
    void useItem();

    void startEpicMode();
    void endEpicMode();

    // In [0, 1], and between min and max.
    static float randomUnit();
    static float randomFloat(float min, float max);

    std::vector<std::unique_ptr<Wheel>> wheels; // index i is wheel i of the raycast vehicle
    btBoxShape* chassisShape;                  // owned; the box child of the compound shape
    std::unique_ptr<btVehicleRaycaster> raycaster;
    std::unique_ptr<btRaycastVehicle> raycastVehicle;
    std::unique_ptr<btRaycastVehicle::btVehicleTuning> tuning;
    btVector3 wheelPoints[4]; // connection points in chassis coordinates
    float maxSpeed = 120.0f;        // km/h
    float maxReverseSpeed = -75.0f; // km/h
    float engineForce = 4500.0f;
    float reverseForce = -3000.0f;
    float brakeForce = 100.0f;
    float idleBrake = 10.0f;
    bool accelerating = false;
    bool braking = false;
    bool mayReverse = false;
    int standstillFrames = 0;
    float steeringClamp = 0.25f;
    float steeringReturn = 3.2f; // per second
    float steeringStep;          // per second
    float steering = 0.0f;       // front wheel angle, radians
    std::unique_ptr<btRigidBody> anchor;
    std::unique_ptr<btGeneric6DofConstraint> uprightConstraint;
    glm::vec3 itemCarryOffset;
    Item* item = nullptr; // owned while carried; in no level list
    bool epic = false;
    float epicDuration = 10.0f;
    float epicTime = 0.0f;
    float savedMaxSpeed, savedEngineForce, savedSteeringClamp;
    bool explosionImmune = false;
    float crashTimer = 0.0f;
    float crashInterval = 3.0f;

private:
    Level* level() const;
    float currentSpeed() const;
    void setRearEngineForce(float force);
    void setBrake(float force, int firstWheel, int lastWheel);
    bool outsideArena() const;
    // Puts the carried item at the carry point, turned as the car.
    void carryItem();
    // Reports the loss, drops the item, ends power-up mode and puts the car
    // back at the reset point at rest.
    void resetAfterLoss();

    bool inWorld = false;
};

} // namespace Engine
