#include "engine/GenericMotionState.h"

#include "engine/Actor.h"

namespace Engine {

namespace {
constexpr float kPi = 3.1415927f;
float toRadians(float degrees) { return (kPi / 180.0f) * degrees; }
float toDegrees(float radians) { return (180.0f / kPi) * radians; }
} // namespace

GenericMotionState::GenericMotionState(Actor* actor) : actor(actor) {}

GenericMotionState::~GenericMotionState() = default;

void GenericMotionState::transformOf(const Actor& actor, btTransform& worldTrans) {
    worldTrans.setIdentity();
    const btVector3 axis(actor.rotationAxis.x, actor.rotationAxis.y, actor.rotationAxis.z);
    // A zero axis names no rotation; building a quaternion of it would divide
    // by its length.
    if (axis.length2() > 0.0f)
        worldTrans.setRotation(btQuaternion(axis, toRadians(actor.rotationAngle)));
    worldTrans.setOrigin(btVector3(actor.position.x, actor.position.y, actor.position.z));
}

void GenericMotionState::applyTransform(Actor& actor, const btTransform& worldTrans) {
    const btVector3& origin = worldTrans.getOrigin();
    actor.position = glm::vec3(origin.x(), origin.y(), origin.z());
    const btQuaternion rotation = worldTrans.getRotation();
    const btVector3 axis = rotation.getAxis();
    actor.rotationAxis = glm::vec3(axis.x(), axis.y(), axis.z());
    actor.rotationAngle = toDegrees(rotation.getAngle());
    actor.updateModelMatrix();
}

void GenericMotionState::getWorldTransform(btTransform& worldTrans) const {
    transformOf(*actor, worldTrans);
}

void GenericMotionState::setWorldTransform(const btTransform& worldTrans) {
    applyTransform(*actor, worldTrans);
}

} // namespace Engine
