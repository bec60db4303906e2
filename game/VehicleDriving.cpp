// The car's driving rules: control requests, the per-frame update, crashes
// and the power-up mode.
#include <AL/al.h>

#include <algorithm>

#include "decorations/Radar.h"
#include "decorations/WoodTable.h"
#include "engine/Degrees.h"
#include "engine/Globals.h"
#include "engine/Level.h"
#include "engine/ResourceRegistry.h"
#include "game/EpicMode.h"
#include "game/ExplosionHalo.h"
#include "game/Item.h"
#include "game/PickupMarker.h"
#include "game/Rocket.h"
#include "game/Vehicle.h"

namespace Engine {

namespace {

constexpr float kArenaHalfSize = 150.0f;
constexpr float kArenaFloor = -10.0f;
const btVector3 kResetPoint(90.0f, 5.0f, -90.0f);

// Contacts that are part of normal driving: the floor, and what the car
// drives through to pick up or launches itself.
bool quietContact(Actor* other) {
    return dynamic_cast<Decorations::WoodTable*>(other) || dynamic_cast<PickupMarker*>(other) ||
           dynamic_cast<EpicMode*>(other) || dynamic_cast<Rocket*>(other);
}

} // namespace

void Vehicle::accelerate(float) {
    accelerating = true;
}

void Vehicle::brake(float) {
    if (!epic) braking = true;
}

void Vehicle::steerLeft(float dt) {
    if (steering >= steeringClamp)
        steering = steeringClamp;
    else
        steering += steeringStep * dt;
}

void Vehicle::steerRight(float dt) {
    if (steering <= -steeringClamp)
        steering = -steeringClamp;
    else
        steering -= steeringStep * dt;
}

void Vehicle::useItem() {
    // Every item needs the level to act in; without one the car keeps it.
    if (!item || !world) return;
    // An item picked up in the last physics step has not been placed by an
    // update yet: it would be used at the world's origin.
    carryItem();
    if (!item->use(world)) item = nullptr; // the level or the item's use owns it now
}

void Vehicle::carryItem() {
    if (!item) return;
    item->rotationAngle = rotationAngle;
    item->rotationAxis = rotationAxis;
    item->position =
        position + deg::rotate(itemCarryOffset + item->carryOffset, rotationAngle, rotationAxis);
    item->updateModelMatrix();
}

float Vehicle::currentSpeed() const {
    return raycastVehicle ? raycastVehicle->getCurrentSpeedKmHour() : 0.0f;
}

void Vehicle::setRearEngineForce(float force) {
    if (!raycastVehicle) return;
    raycastVehicle->applyEngineForce(force, 2);
    raycastVehicle->applyEngineForce(force, 3);
}

void Vehicle::setBrake(float force, int firstWheel, int lastWheel) {
    if (!raycastVehicle) return;
    for (int i = firstWheel; i <= lastWheel; ++i) raycastVehicle->setBrake(force, i);
}

bool Vehicle::outsideArena() const {
    return position.y < kArenaFloor || position.x > kArenaHalfSize ||
           position.x < -kArenaHalfSize || position.z > kArenaHalfSize ||
           position.z < -kArenaHalfSize;
}

void Vehicle::resetAfterLoss() {
    if (Level* owner = level()) owner->onVehicleLost(this);
    // The dropped item is in no level list: it goes with the drop.
    delete item;
    item = nullptr;
    endEpicMode();
    if (!rigidBody) return;
    btTransform reset;
    reset.setIdentity();
    reset.setOrigin(kResetPoint);
    rigidBody->setLinearVelocity(btVector3(0.0f, 0.0f, 0.0f));
    rigidBody->setAngularVelocity(btVector3(0.0f, 0.0f, 0.0f));
    rigidBody->proceedToTransform(reset);
    rigidBody->clearForces();
    rigidBody->activate();
}

void Vehicle::update(float dt) {
    if (outsideArena()) resetAfterLoss();

    carryItem();

    // A reversing car reports a negative speed: it stays below the threshold
    // and keeps the reverse gate open.
    if (currentSpeed() < 1.0f) {
        ++standstillFrames;
        if (static_cast<float>(standstillFrames) * dt >= 0.2f) mayReverse = true;
    } else {
        standstillFrames = 0;
        mayReverse = false;
    }

    if (accelerating) {
        setRearEngineForce(currentSpeed() < maxSpeed ? engineForce : 0.0f);
        accelerating = false;
    } else {
        setRearEngineForce(0.0f);
    }

    if (braking) {
        if (!mayReverse) {
            setBrake(brakeForce, 2, 3);
        } else if (currentSpeed() > maxReverseSpeed) {
            setRearEngineForce(reverseForce); // the brakes stay as they were
        } else {
            setRearEngineForce(0.0f);
            setBrake(brakeForce, 2, 3);
        }
        braking = false;
    } else {
        setBrake(idleBrake, 0, 3);
    }

    // Back towards straight ahead without crossing it, so that a car without
    // steer input drives straight at any frame rate.
    const float back = steeringReturn * dt;
    if (steering > 0.0f)
        steering = std::max(0.0f, steering - back);
    else if (steering < 0.0f)
        steering = std::min(0.0f, steering + back);
    if (raycastVehicle) {
        raycastVehicle->setSteeringValue(steering, 0);
        raycastVehicle->setSteeringValue(steering, 1);
    }

    if (epic) {
        epicTime += dt;
        accelerating = true; // acts in the next frame
        if (epicTime > epicDuration) endEpicMode();
    }
    crashTimer += dt;
}

void Vehicle::onCollision(Actor* other) {
    if (!other || quietContact(other)) return;
    if (crashTimer > crashInterval) {
        const ALuint sound = dynamic_cast<Vehicle*>(other) ? hitLoudSound : hitSoftSound;
        ALint state = 0;
        alGetSourcei(sound, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) alSourcePlay(sound);
        crashTimer = 0.0f;
    }
    if (epic) {
        if (Level* owner = level()) owner->addActor(new ExplosionHalo(30.0f, 400000.0f, position));
        endEpicMode();
    }
}

void Vehicle::startEpicMode() {
    alSourcef(bgmSound, AL_PITCH, 1.3f);
    explosionImmune = true;
    mesh = ResourceRegistry::getMesh("meshes/bulletbill.obj");
    setScale(8.0f);
    maxSpeed = 250.0f;
    engineForce = 12000.0f;
    steeringClamp = 0.15f;
    renderToOffscreen = true;
    // Without a radar (a level that shows none) only the drawing switches.
    if (radar) radar->visible = true;
    epic = true;
    epicTime = 0.0f;
}

void Vehicle::endEpicMode() {
    loadModel();
    maxSpeed = savedMaxSpeed;
    engineForce = savedEngineForce;
    steeringClamp = savedSteeringClamp;
    renderToOffscreen = false;
    if (radar) radar->visible = false;
    alSourcef(bgmSound, AL_PITCH, 1.0f);
    epic = false;
}

} // namespace Engine
