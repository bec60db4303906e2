#include "game/ExplosionHalo.h"

#include <AL/al.h>

#include <algorithm>

#include "engine/Globals.h"
#include "engine/Level.h"
#include "game/FlameParticle.h"
#include "game/Item.h"
#include "game/PickupMarker.h"
#include "game/SmokeParticle.h"
#include "game/Vehicle.h"

namespace Engine {

ExplosionHalo::ExplosionHalo(float radius, float strength, glm::vec3 centre) : strength(strength) {
    position = centre;
    updateModelMatrix();
    collisionShape = new btSphereShape(radius);
}

ExplosionHalo::~ExplosionHalo() = default;

bool ExplosionHalo::recorded(const Actor* actor) const {
    return std::any_of(hits.begin(), hits.end(),
                       [actor](const ExplosionListItem& hit) { return hit.actor == actor; });
}

bool ExplosionHalo::skipped(Actor* other) {
    if (!other->rigidBody || other->rigidBody->isStaticOrKinematicObject()) return true;
    // Rockets, mines and power-up items are all the items there are.
    return dynamic_cast<Item*>(other) || dynamic_cast<PickupMarker*>(other) ||
           dynamic_cast<CollisionHalo*>(other);
}

bool ExplosionHalo::stillInLevel(const Actor* actor) const {
    const Level* level = world ? static_cast<const Level*>(world->getWorldUserInfo()) : nullptr;
    return level && std::find(level->actors.begin(), level->actors.end(), actor) != level->actors.end();
}

void ExplosionHalo::onCollision(Actor* other) {
    if (done || !other) return;
    Level* level = world ? static_cast<Level*>(world->getWorldUserInfo()) : nullptr;
    const glm::vec3 c = position;

    // Sound, flames and smoke for every contact report, recorded or not.
    alSourcePlay(explodeSound);
    if (level) {
        for (const glm::vec3& at : {c, c + glm::vec3(0.0f, 2.0f, 0.0f), c + glm::vec3(2.0f, 0.0f, 2.0f)}) {
            auto* flame = new FlameParticle();
            flame->setScale(30.0f);
            flame->setPosition(at);
            level->addActor(flame);
        }
        auto* smoke = new SmokeParticle();
        smoke->fadeTime = 2.0f;
        smoke->remainingLife = 5.0f;
        smoke->setScale(20.0f);
        smoke->setPosition(c + glm::vec3(0.0f, 30.0f, 0.0f));
        level->addActor(smoke);
    }

    if (skipped(other) || recorded(other)) return;
    // Away from the centre horizontally, with a fixed upward part.
    btVector3 d(other->position.x - c.x, other->position.y - c.y, other->position.z - c.z);
    if (d.y() < 1000.0f) d.setY(1.0f);
    d.normalize();
    hits.emplace_back(other, d * 1000000.0f);
}

void ExplosionHalo::update(float) {
    if (done) return;
    if (--countdown != 0) return;
    done = true;
    for (const ExplosionListItem& hit : hits) {
        // An actor that has left the level since its contact is not touched.
        if (!stillInLevel(hit.actor) || !hit.actor->rigidBody) continue;
        auto* vehicle = dynamic_cast<Vehicle*>(hit.actor);
        if (vehicle && vehicle->explosionImmune) {
            vehicle->explosionImmune = false;
            continue;
        }
        hit.actor->rigidBody->activate(true);
        hit.actor->rigidBody->applyCentralForce(hit.force);
    }
    removeRequested = true;
}

} // namespace Engine
