#include "game/CollisionHalo.h"

namespace Engine {

CollisionHalo::CollisionHalo() {
    mass = 1.0f;
    wantsCollisionEvents = true;
}

CollisionHalo::~CollisionHalo() = default;

bool CollisionHalo::addToWorld(btDynamicsWorld* newWorld) {
    const bool added = Actor::addToWorld(newWorld);
    if (rigidBody)
        rigidBody->setCollisionFlags(rigidBody->getCollisionFlags() |
                                     btCollisionObject::CF_NO_CONTACT_RESPONSE);
    return added;
}

} // namespace Engine
