#pragma once
#include <GL/glew.h>

#include <btBulletDynamicsCommon.h>
#include <glm/glm.hpp>

#include "engine/Light.h"

class MeshHandler;
class ShaderProgramHandler;

namespace Engine {

class Camera;

// Base of every object a level holds: transform and model matrix, the mesh
// it shows, the program that draws it, drawing flags and, once added to a
// physics world, its collision shape, motion state and rigid body.
class Actor {
public:
    Actor();
    virtual ~Actor();
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

    // Builds the rigid body from `collisionShape` and adds it to the world.
    // False (and no body) without a shape.
    virtual bool addToWorld(btDynamicsWorld* world);
    virtual void onCollision(Actor* other);
    // Draws the mesh as seen by the camera, one draw call per face group.
    virtual void render(Camera* camera, const glm::vec4& ambientColor, const Light& light,
                        bool useVBO);
    virtual void update(float dt);
    // Rebuilds `modelMatrix` and `rotationMatrix`, then onTransformChanged.
    virtual void updateModelMatrix();
    virtual void onTransformChanged();

    void setPosition(glm::vec3 position);
    void setScale(float s);
    void setScale(glm::vec3 scale);
    // Scaled maxima of the mesh bounds (zero without a mesh).
    btVector3 getSize();
    // Scaled maximum x of the mesh bounds (zero without a mesh).
    float getWidth();

    Actor* owner;
    glm::vec3 position;
    glm::vec3 rotationAxis;
    float rotationAngle; // degrees
    glm::vec3 scale;
    glm::vec3 offset; // drawing offset in world axes, not rotated
    glm::mat4 modelMatrix;
    glm::mat4 rotationMatrix;
    float mass;
    btVector3 localInertia;
    btCollisionShape* collisionShape; // owned
    btMotionState* motionState;       // owned
    btRigidBody* rigidBody;           // owned
    btDynamicsWorld* world;           // not owned
    bool wantsCollisionEvents;
    MeshHandler* mesh;             // shared
    ShaderProgramHandler* program; // shared
    bool visible;
    bool drawOffscreen;
    bool textureMode3;
    bool textureMode2;
    bool billboard;
    glm::vec4 colorBias;
    bool removeRequested;
    // The first time drawing skipped the actor as culled was logged.
    bool cullingReported = false;
};

} // namespace Engine
