#pragma once
#include <GL/glew.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <btBulletDynamicsCommon.h>
// The soft-body headers trip -Wunused-parameter; only rigid bodies are used.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <BulletSoftBody/btSoftRigidDynamicsWorld.h>
#pragma GCC diagnostic pop
#include <glm/glm.hpp>

#include "engine/Light.h"

namespace Engine {

class Actor;
class Camera;
class Vehicle;
class ParticleEmitter;

// Base of every level: owns the physics world, the ambient colour, the one
// light and everything handed to it (actors, head-up-display elements,
// cameras, vehicles, particle emitters), maps the players' keys and
// joysticks to their vehicles, updates and draws it all once a frame and
// hands the contacts of each physics step to the actors.
//
// Game objects find their level through the world's user information.
class Level {
public:
    Level();
    // Deletes everything the level still holds (each object once), then the
    // physics world and its parts.
    virtual ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Called at the end of every update.
    virtual void onUpdate(float dt);
    // Texts of the key commands.
    virtual void onMessage(std::string message);
    // Adds a player's car (the first is player 1) with its configured keys;
    // the car is also an actor of the level.
    virtual void addVehicle(Vehicle* vehicle);
    // A vehicle has left the arena.
    virtual void onVehicleLost(Vehicle* vehicle);

    // Appends the actor and gives it its body in the world.
    void addActor(Actor* actor);
    // Head-up-display elements are drawn with the HUD camera and have no body.
    void addHUDElement(Actor* actor);
    // Takes the actor out of the world (a car with its raycast vehicle,
    // anchor and constraint), drops it from every list, makes the actors and
    // chase cameras that stay forget it, and deletes it. Called during the
    // actors' updates or the collision dispatch, it queues the actor for the
    // start of the next update instead.
    void removeActor(Actor* actor);
    void addCamera(Camera* camera);
    // Null for an index out of range.
    Camera* getCamera(int index);
    // The level owns the HUD camera; a replaced one is deleted.
    void setHUDCamera(Camera* camera);
    void addEmitter(ParticleEmitter* emitter);
    void removeEmitter(ParticleEmitter* emitter);

    // One frame: removals, input, actors, HUD elements, cameras, emitters,
    // at most one 1/60 s physics step, then onUpdate.
    void update(float dt);
    // Draws every camera's view and the HUD, then swaps and clears.
    void render(bool useVBO);

    void handleInput(float dt);
    // The world's post-step callback: hands the contacts to the level that
    // is the world's user information.
    static void tickCallback(btDynamicsWorld* world, btScalar timeStep);
    // Calls onCollision on both actors of every contact manifold, each only
    // when it asks for collision events.
    void dispatchCollisions(btScalar timeStep);
    // Per-actor visibility in the drawing pass: everything is drawn.
    bool isVisible(Camera* camera, Actor* actor);

    std::unique_ptr<btSoftRigidDynamicsWorld> world;
    std::unique_ptr<btDefaultCollisionConfiguration> collisionConfiguration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btDbvtBroadphase> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    glm::vec4 ambientColor;
    std::unique_ptr<Light> mainLight;
    std::vector<int> upKeys, downKeys, leftKeys, rightKeys, fireKeys;
    int width = 0;
    int height = 0;
    std::list<Actor*> actors;
    std::list<Actor*> hudElements;
    std::vector<Camera*> cameras;
    // A removed vehicle leaves a null entry, so the players keep their
    // numbers and bindings.
    std::vector<Vehicle*> vehicles;
    std::list<ParticleEmitter*> emitters;
    Camera* hudCamera = nullptr;
    std::list<Actor*> removalQueue;

private:
    bool deferRemovals = false;
};

} // namespace Engine
