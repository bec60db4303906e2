#include "game/RocketProximityHalo.h"

#include <cmath>

#include "decorations/WoodTable.h"
#include "game/Rocket.h"

namespace Engine {

namespace {

constexpr float kBound = 500.0f;

btVector3 toBt(const glm::vec3& v) { return btVector3(v.x, v.y, v.z); }

// A sweep that sees only what would set the rocket off.
struct FuseSweep : btCollisionWorld::ClosestConvexResultCallback {
    FuseSweep(const btVector3& from, const btVector3& to, const RocketProximityHalo* halo)
        : ClosestConvexResultCallback(from, to), halo(halo) {}

    bool needsCollision(btBroadphaseProxy* proxy) const override {
        if (!ClosestConvexResultCallback::needsCollision(proxy)) return false;
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        const auto* actor = static_cast<const Actor*>(object->getUserPointer());
        return actor && actor != halo && halo->triggers(actor);
    }

    const RocketProximityHalo* halo;
};

} // namespace

RocketProximityHalo::RocketProximityHalo(Rocket* rocket) : rocket(rocket) {
    position = rocket ? rocket->position : glm::vec3(0.0f);
    lastCentre = position;
    updateModelMatrix();
    // Twice the width of the rocket's mesh as loaded, without its scale.
    const MeshBounds bounds = Rocket::meshBounds(rocket ? rocket->mesh : nullptr);
    collisionShape = new btSphereShape(2.0f * bounds.extent().x);
    if (rocket) rocket->proximityHalo = this;
}

RocketProximityHalo::~RocketProximityHalo() {
    if (rocket) rocket->proximityHalo = nullptr;
}

bool RocketProximityHalo::triggers(const Actor* other) const {
    return other && rocket && other != rocket && other != rocket->owner &&
           !dynamic_cast<const Decorations::WoodTable*>(other);
}

void RocketProximityHalo::setOff() {
    triggered = true;
    if (rocket) rocket->explode();
    removeRequested = true;
}

void RocketProximityHalo::onCollision(Actor* other) {
    if (triggered || !triggers(other)) return;
    setOff();
}

bool RocketProximityHalo::sweepMeets(const glm::vec3& from, const glm::vec3& to) const {
    const auto* sphere = static_cast<const btSphereShape*>(collisionShape);
    if (!world || !sphere || glm::distance(from, to) < 1e-4f) return false;
    btTransform start, end;
    start.setIdentity();
    end.setIdentity();
    start.setOrigin(toBt(from));
    end.setOrigin(toBt(to));
    FuseSweep result(start.getOrigin(), end.getOrigin(), this);
    world->convexSweepTest(sphere, start, end, result);
    return result.hasHit();
}

void RocketProximityHalo::update(float) {
    if (!rocket) { // its rocket went without it
        removeRequested = true;
        return;
    }
    const glm::vec3 centre = rocket->position;
    const bool passedSomething = !triggered && sweepMeets(lastCentre, centre);
    lastCentre = centre;
    if (rigidBody) {
        btTransform moved;
        moved.setIdentity();
        moved.setOrigin(toBt(centre));
        rigidBody->setWorldTransform(moved);
    }
    if (triggered) return;
    if (passedSomething || std::abs(position.x) > kBound || std::abs(position.z) > kBound) setOff();
}

} // namespace Engine
