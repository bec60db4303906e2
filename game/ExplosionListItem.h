#pragma once
#include <btBulletDynamicsCommon.h>

namespace Engine {

class Actor;

// One body an explosion has caught: its actor and the push it gets.
class ExplosionListItem {
public:
    ExplosionListItem(Actor* actor, const btVector3& force) : actor(actor), force(force) {}

    Actor* actor; // not owned
    btVector3 force;
};

} // namespace Engine
