#include "game/PickupMarker.h"

#include <AL/al.h>

#include <cmath>
#include <iostream>

#include "engine/Globals.h"
#include "engine/ResourceRegistry.h"
#include "game/EpicMode.h"
#include "game/MeshBounds.h"
#include "game/Mine.h"
#include "game/RandomDraw.h"
#include "game/Rocket.h"
#include "game/SpinningModel.h"
#include "game/Vehicle.h"

namespace Engine {

namespace {
const MeshBounds kShippedPickup{{-0.5f, -1.0f, -0.5f}, {0.5f, 0.0f, 0.5f}};
} // namespace

PickupMarker::PickupMarker() {
    mesh = ResourceRegistry::getMesh("meshes/pickup/pickup.obj");
    mass = 1.0f;
    const glm::vec3 extent = boundsOr(mesh, kShippedPickup).extent();
    const float s = 2.0f / extent.y; // two units high
    setScale(s);
    collisionShape = new btBoxShape(btVector3(s * extent.x, 2.0f, s * extent.x));
    wantsCollisionEvents = true;
}

PickupMarker::~PickupMarker() {
    std::cout << "PickupMarker destroyed";
}

void PickupMarker::onCollision(Actor* other) {
    auto* car = dynamic_cast<Vehicle*>(other);
    if (!car) return;
    if (!car->item && !car->epic) {
        alSourcePlay(getItemSound);
        // 0 to 100: about a third each for a rocket, the power-up and a mine.
        lastRoll = randomDraw15() / 327;
        if (lastRoll < 33)
            car->item = new Rocket(car);
        else if (lastRoll < 66)
            car->item = new EpicMode(car);
        else
            car->item = new Mine(car);
    }
    respawnPending = true;
}

void PickupMarker::update(float dt) {
    if (position.y < -100.0f || std::abs(position.x) > 500.0f || std::abs(position.z) > 500.0f)
        respawnPending = true;
    spinAngle += 100.0f * dt;
    updateModelMatrix();
    if (respawnPending) {
        respawnPending = false;
        respawn();
    }
}

void PickupMarker::updateModelMatrix() {
    buildSpinningModelMatrix(*this, spinAngle);
}

void PickupMarker::respawn() {
    if (!rigidBody) return;
    rigidBody->activate(true);
    btTransform up;
    up.setIdentity();
    up.setOrigin(btVector3(position.x, 100.0f, position.z));
    rigidBody->proceedToTransform(up);
    rigidBody->setAngularVelocity(btVector3(0.0f, 0.0f, 0.0f));
    rigidBody->setLinearVelocity(btVector3(0.0f, 0.0f, 0.0f));
}

} // namespace Engine
