// The car's body: construction, registration with the physics world,
// teardown and drawing. The driving rules are in VehicleDriving.cpp.
#include "game/Vehicle.h"

#include "engine/Level.h"
#include "game/Item.h"
#include "game/RandomDraw.h"
#include "game/VehicleMotionState.h"
#include "game/Wheel.h"

namespace Engine {

namespace {
constexpr float kPi = 3.1415927f;
} // namespace

Vehicle::Vehicle() {
    scale = glm::vec3(1.0f, 0.5f, 2.0f);
    offset = glm::vec3(0.0f, 1.0f, 0.0f);
    mass = 130.0f;

    chassisShape = new btBoxShape(btVector3(1.0f, 0.5f, 2.0f));
    chassisShape->setUserPointer(this);
    auto* compound = new btCompoundShape(true);
    btTransform local;
    local.setIdentity();
    local.setOrigin(btVector3(0.0f, 1.0f, 0.0f));
    compound->addChildShape(local, chassisShape);
    compound->setUserPointer(this);
    collisionShape = compound;

    tuning = std::make_unique<btRaycastVehicle::btVehicleTuning>();
    for (int i = 0; i < 4; ++i) wheels.push_back(std::make_unique<Wheel>());

    wheelPoints[0] = btVector3(1.0f, 0.6f, 2.0f);
    wheelPoints[1] = btVector3(-1.0f, 0.6f, 2.0f);
    wheelPoints[2] = btVector3(1.0f, 0.6f, -2.0f);
    wheelPoints[3] = btVector3(-1.0f, 0.6f, -2.0f);
    steeringStep = steeringReturn * 2.0f;
    itemCarryOffset = glm::vec3(0.0f, 2.0f, 0.0f);

    savedMaxSpeed = maxSpeed;
    savedEngineForce = engineForce;
    savedSteeringClamp = steeringClamp;
}

Vehicle::~Vehicle() {
    removeFromWorld();
    uprightConstraint.reset();
    raycastVehicle.reset();
    wheels.clear();
    raycaster.reset();
    anchor.reset();
    delete chassisShape;
    chassisShape = nullptr;
    tuning.reset();
    delete item;
    item = nullptr;
    // The actor part deletes the compound shape, the motion state and the
    // chassis body.
}

bool Vehicle::addToWorld(btDynamicsWorld* newWorld) {
    if (inWorld) return true;
    world = newWorld;
    if (!world) return false;

    collisionShape->calculateLocalInertia(mass, localInertia);
    motionState = new VehicleMotionState(this);
    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, collisionShape, localInertia);
    rigidBody = new btRigidBody(info);
    rigidBody->setUserPointer(this);
    world->addRigidBody(rigidBody);

    raycaster = std::make_unique<btDefaultVehicleRaycaster>(world);
    raycastVehicle = std::make_unique<btRaycastVehicle>(*tuning, rigidBody, raycaster.get());
    rigidBody->setActivationState(DISABLE_DEACTIVATION); // the chassis never sleeps
    world->addVehicle(raycastVehicle.get());
    raycastVehicle->setCoordinateSystem(0, 1, 2); // right x, up y, forward z

    const btVector3 wheelDirection(0.0f, -1.0f, 0.0f);
    const btVector3 axle(-1.0f, 0.0f, 0.0f);
    for (int i = 0; i < 4; ++i)
        raycastVehicle->addWheel(wheelPoints[i], wheelDirection, axle, 0.1f, 0.5f, *tuning, i < 2);
    for (int i = 0; i < raycastVehicle->getNumWheels(); ++i) {
        btWheelInfo& wheel = raycastVehicle->getWheelInfo(i);
        wheel.m_suspensionStiffness = 20.0f;
        wheel.m_wheelsDampingRelaxation = 2.3f;
        wheel.m_wheelsDampingCompression = 4.4f;
        wheel.m_frictionSlip = 1000.0f;
        wheel.m_rollInfluence = 0.1f;
    }

    // The anchor is turned a quarter about x, so that an upright chassis
    // sits in the middle of the constraint's x range. Without mass or shape
    // it never moves and never collides.
    btTransform anchorTransform;
    anchorTransform.setIdentity();
    anchorTransform.setOrigin(btVector3(0.0f, 0.0f, 0.0f));
    anchorTransform.setRotation(btQuaternion(btVector3(1.0f, 0.0f, 0.0f), kPi / 2.0f));
    anchor = std::make_unique<btRigidBody>(0.0f, nullptr, nullptr, btVector3(0.0f, 0.0f, 0.0f));
    world->addRigidBody(anchor.get());
    anchor->setWorldTransform(anchorTransform);
    anchor->setActivationState(DISABLE_DEACTIVATION);

    btTransform frame;
    frame.setIdentity();
    frame.setOrigin(btVector3(0.0f, 0.0f, 0.0f));
    uprightConstraint =
        std::make_unique<btGeneric6DofConstraint>(*anchor, *rigidBody, frame, frame, false);
    const double pi = static_cast<double>(kPi);
    uprightConstraint->setLinearLowerLimit(btVector3(-10000.0f, -10000.0f, -10000.0f));
    uprightConstraint->setLinearUpperLimit(btVector3(10000.0f, 10000.0f, 10000.0f));
    uprightConstraint->setAngularLowerLimit(btVector3(static_cast<float>(pi / 2.0 - 0.25), -0.25f,
                                                      static_cast<float>(-pi)));
    uprightConstraint->setAngularUpperLimit(btVector3(static_cast<float>(pi / 2.0 + 0.25), 0.25f,
                                                      static_cast<float>(pi)));
    world->addConstraint(uprightConstraint.get(), true); // the linked bodies never collide
    inWorld = true;
    return true;
}

void Vehicle::removeFromWorld() {
    if (!inWorld || !world) return;
    world->removeConstraint(uprightConstraint.get());
    world->removeVehicle(raycastVehicle.get());
    world->removeRigidBody(anchor.get());
    world->removeRigidBody(rigidBody);
    inWorld = false;
}

void Vehicle::render(Camera* camera, const glm::vec4& ambientColor, const Light& light,
                     bool useVBO) {
    Actor::render(camera, ambientColor, light, useVBO);
    for (auto& wheel : wheels) wheel->render(camera, ambientColor, light, useVBO);
    if (item) item->render(camera, ambientColor, light, useVBO);
}

void Vehicle::loadModel() {}

float Vehicle::randomUnit() {
    return static_cast<float>(randomDraw15() / 32767.0);
}

float Vehicle::randomFloat(float min, float max) {
    return randomUnit() * (max - min) + min;
}

Level* Vehicle::level() const {
    return world ? static_cast<Level*>(world->getWorldUserInfo()) : nullptr;
}

} // namespace Engine
