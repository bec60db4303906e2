#include "game/Rocket.h"

#include <AL/al.h>

#include "engine/Degrees.h"
#include "engine/Globals.h"
#include "engine/Level.h"
#include "engine/ResourceRegistry.h"
#include "game/ExplosionHalo.h"
#include "game/RocketProximityHalo.h"
#include "game/SmokeEmitter.h"

namespace Engine {

namespace {
const MeshBounds kShippedRocket{{-0.45f, -0.45f, -2.25f}, {0.45f, 0.45f, 2.25f}};
} // namespace

Rocket::Rocket(Actor* launcher) : thrustVector(0.0f, 0.0f, 0.0f) {
    owner = launcher;
    mesh = ResourceRegistry::getMesh("meshes/rocket/rocket.obj");
    mass = 10.0f;
    const MeshBounds bounds = meshBounds(mesh);
    const float s = 3.0f / bounds.extent().z; // three units long
    setScale(s);
    collisionShape = new btBoxShape(btVector3(s * bounds.max.x, s * bounds.max.y, s * bounds.max.z));
    wantsCollisionEvents = true;
}

Rocket::~Rocket() {
    if (smokeTrail) smokeTrail->emitterLife = 0.0f;
    if (proximityHalo) proximityHalo->rocket = nullptr;
}

bool Rocket::use(btDynamicsWorld* newWorld) {
    Level* level = newWorld ? static_cast<Level*>(newWorld->getWorldUserInfo()) : nullptr;
    if (!level) return true; // nowhere to fly: the car keeps it
    alSourcePlay(shootSound);
    world = newWorld;
    level->addActor(this); // starts at the carried place, turned as the car
    if (rigidBody) rigidBody->setGravity(btVector3(0.0f, 0.0f, 0.0f));
    const glm::vec3 direction =
        glm::normalize(deg::rotate(glm::vec3(0.0f, 0.0f, 1.0f), rotationAngle, rotationAxis));
    thrustVector = btVector3(direction.x, direction.y, direction.z) * thrust;
    level->addActor(new RocketProximityHalo(this));
    smokeTrail = new SmokeEmitter();
    smokeTrail->emitterLife = 999999.9f;
    level->addEmitter(smokeTrail);
    return false;
}

void Rocket::update(float) {
    // Forces are cleared after every step call: the push is renewed each frame.
    if (rigidBody) rigidBody->applyCentralForce(thrustVector);
    if (smokeTrail) smokeTrail->position = position;
}

MeshBounds Rocket::meshBounds(const MeshHandler* rocketMesh) {
    return boundsOr(rocketMesh, kShippedRocket);
}

void Rocket::explode() {
    if (exploded) return;
    exploded = true;
    removeRequested = true;
    Level* level = world ? static_cast<Level*>(world->getWorldUserInfo()) : nullptr;
    if (level) level->addActor(new ExplosionHalo(30.0f, 600000.0f, position));
    // The level drops the trail once its particles have run out, which may
    // be before this rocket is removed: it is not touched again.
    if (smokeTrail) smokeTrail->emitterLife = 0.0f;
    smokeTrail = nullptr;
}

} // namespace Engine
