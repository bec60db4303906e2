#include "engine/Actor.h"

#include <glm/gtc/matrix_transform.hpp>

#include "engine/Degrees.h"
#include "engine/GenericMotionState.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"

namespace Engine {

Actor::Actor()
    : owner(nullptr), position(0.0f), rotationAxis(0.0f, 1.0f, 0.0f), rotationAngle(0.0f),
      scale(1.0f), offset(0.0f), modelMatrix(1.0f), rotationMatrix(1.0f),
      mass(0.0f), localInertia(0, 0, 0), collisionShape(nullptr), motionState(nullptr),
      rigidBody(nullptr), world(nullptr), wantsCollisionEvents(false),
      mesh(nullptr), program(nullptr), visible(true), drawOffscreen(true),
      textureMode3(false), textureMode2(true), billboard(false),
      colorBias(1.0f, 1.0f, 1.0f, 1.0f), removeRequested(false) {
    Actor::updateModelMatrix();
    // The first request compiles and links the shaders: needs the GL context.
    program = ResourceRegistry::getProgram("simple");
}

// The mesh and the program are shared and stay. The body must already be out
// of its world.
Actor::~Actor() {
    delete collisionShape;
    delete motionState;
    delete rigidBody;
}

bool Actor::addToWorld(btDynamicsWorld* newWorld) {
    world = newWorld;
    if (!collisionShape || !world) return false;
    collisionShape->setUserPointer(this);
    if (mass != 0.0f) collisionShape->calculateLocalInertia(mass, localInertia);
    motionState = new GenericMotionState(this);
    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, collisionShape, localInertia);
    rigidBody = new btRigidBody(info);
    world->addRigidBody(rigidBody);
    rigidBody->setUserPointer(this);
    return true;
}

void Actor::onCollision(Actor* /*other*/) {}

void Actor::update(float /*dt*/) {}

void Actor::updateModelMatrix() {
    // A zero axis names no rotation (normalising it would give NaNs).
    const bool turns = glm::dot(rotationAxis, rotationAxis) > 0.0f;
    rotationMatrix = turns ? deg::rotate(glm::mat4(1.0f), rotationAngle, rotationAxis)
                           : glm::mat4(1.0f);
    modelMatrix = glm::translate(glm::mat4(1.0f), position + offset);
    if (turns) modelMatrix = deg::rotate(modelMatrix, rotationAngle, rotationAxis);
    modelMatrix = glm::scale(modelMatrix, scale);
    onTransformChanged();
}

void Actor::onTransformChanged() {}

void Actor::setPosition(glm::vec3 newPosition) {
    position = newPosition;
    updateModelMatrix();
}

void Actor::setScale(float s) {
    scale = glm::vec3(s, s, s);
    updateModelMatrix();
}

void Actor::setScale(glm::vec3 newScale) {
    scale = newScale;
    updateModelMatrix();
}

btVector3 Actor::getSize() {
    if (!mesh) return btVector3(0, 0, 0);
    return btVector3(scale.x * mesh->maxX, scale.y * mesh->maxY, scale.z * mesh->maxZ);
}

float Actor::getWidth() {
    if (!mesh) return 0.0f;
    return scale.x * mesh->maxX;
}

} // namespace Engine
