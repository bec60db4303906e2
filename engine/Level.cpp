#include "engine/Level.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/Config.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "game/ParticleEmitter.h"
#include "game/Vehicle.h"
#include "game/VehicleCam.h"

namespace Engine {

namespace {

// The pointers in their first order, each once and without nulls.
template <typename T>
std::vector<T*> withoutRepeats(const std::vector<T*>& items) {
    std::vector<T*> result;
    std::unordered_set<T*> seen;
    for (T* item : items)
        if (item && seen.insert(item).second) result.push_back(item);
    return result;
}

// Takes everything the actor has in the world out of it. A car has more than
// its chassis there: its raycast vehicle, anchor and upright constraint.
void takeOutOfWorld(btDynamicsWorld* world, Actor* actor) {
    if (auto* vehicle = dynamic_cast<Vehicle*>(actor))
        vehicle->removeFromWorld();
    else if (actor->rigidBody)
        world->removeRigidBody(actor->rigidBody);
}

} // namespace

Level::Level() {
    log("BULLET: ");
    collisionConfiguration = std::make_unique<btDefaultCollisionConfiguration>(
        btDefaultCollisionConstructionInfo());
    dispatcher = std::make_unique<btCollisionDispatcher>(collisionConfiguration.get());
    broadphase = std::make_unique<btDbvtBroadphase>();
    solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    world = std::make_unique<btSoftRigidDynamicsWorld>(dispatcher.get(), broadphase.get(),
                                                       solver.get(),
                                                       collisionConfiguration.get());
    world->setGravity(btVector3(0.0f, -10.0f, 0.0f));
    world->setInternalTickCallback(&Level::tickCallback, this, false);
    world->setWorldUserInfo(this);
    log("initialized\n");

    ambientColor = glm::vec4(0.7f, 0.7f, 0.7f, 1.0f);
    mainLight = std::make_unique<Light>();
    width = Config::getInt("width");
    height = Config::getInt("height");
}

Level::~Level() {
    upKeys.clear();
    downKeys.clear();
    leftKeys.clear();
    rightKeys.clear();
    fireKeys.clear();

    // Everything handed over is owned here. A vehicle is also an actor, and
    // a queued actor is still in its list (or was handed to removeActor, which
    // means it is to go), so each object is deleted once, in list order.
    // Bodies leave the world before their actors go, while the world exists.
    std::vector<Camera*> ownedCameras(cameras.begin(), cameras.end());
    ownedCameras.push_back(hudCamera);
    cameras.clear();
    hudCamera = nullptr;
    for (Camera* camera : withoutRepeats(ownedCameras)) delete camera;

    std::vector<Actor*> owned(actors.begin(), actors.end());
    owned.insert(owned.end(), hudElements.begin(), hudElements.end());
    owned.insert(owned.end(), removalQueue.begin(), removalQueue.end());
    actors.clear();
    hudElements.clear();
    removalQueue.clear();
    vehicles.clear();
    for (Actor* actor : withoutRepeats(owned)) {
        takeOutOfWorld(world.get(), actor);
        delete actor;
    }
    std::vector<ParticleEmitter*> ownedEmitters(emitters.begin(), emitters.end());
    emitters.clear();
    for (ParticleEmitter* emitter : withoutRepeats(ownedEmitters)) delete emitter;
    mainLight.reset();

    log("BULLET: ");
    world.reset();
    collisionConfiguration.reset();
    dispatcher.reset();
    broadphase.reset();
    solver.reset();
    log("destroyed\n");
}

void Level::onUpdate(float) {}

void Level::onMessage(std::string) {}

void Level::addVehicle(Vehicle* vehicle) {
    vehicles.push_back(vehicle);
    const std::string player = "p_" + std::to_string(vehicles.size());
    upKeys.push_back(Config::getInt(player + "_up"));
    downKeys.push_back(Config::getInt(player + "_down"));
    leftKeys.push_back(Config::getInt(player + "_left"));
    rightKeys.push_back(Config::getInt(player + "_right"));
    fireKeys.push_back(Config::getInt(player + "_fire"));
    addActor(vehicle);
}

void Level::onVehicleLost(Vehicle*) {}

void Level::addActor(Actor* actor) {
    if (!actor) return;
    actors.push_back(actor);
    actor->addToWorld(world.get());
}

void Level::addHUDElement(Actor* actor) {
    if (actor) hudElements.push_back(actor);
}

void Level::removeActor(Actor* actor) {
    if (!actor) return;
    if (deferRemovals) {
        // Called from an actor's update or a collision handler while the
        // lists and manifolds are being walked: deleting now would pull the
        // actor out from under the walk. It goes at the start of the next
        // update instead.
        actor->removeRequested = true;
        if (std::find(removalQueue.begin(), removalQueue.end(), actor) == removalQueue.end())
            removalQueue.push_back(actor);
        return;
    }
    takeOutOfWorld(world.get(), actor);
    actors.remove(actor);
    hudElements.remove(actor);
    removalQueue.remove(actor);
    for (Vehicle*& vehicle : vehicles)
        if (vehicle == actor) vehicle = nullptr;
    // Nothing that stays may point at it: what it launched forgets its
    // maker, and a chase camera following it stops where it is.
    for (Actor* other : actors)
        if (other->owner == actor) other->owner = nullptr;
    for (Camera* camera : cameras)
        if (auto* chase = dynamic_cast<VehicleCam*>(camera))
            if (chase->vehicle == actor) chase->vehicle = nullptr;
    delete actor;
}

void Level::addCamera(Camera* camera) {
    if (camera) cameras.push_back(camera);
}

Camera* Level::getCamera(int index) {
    if (index < 0 || static_cast<size_t>(index) >= cameras.size()) return nullptr;
    return cameras[index];
}

void Level::setHUDCamera(Camera* camera) {
    // Only the camera in place at the end is the level's to delete: one that
    // was replaced may still be in use elsewhere.
    hudCamera = camera;
}

void Level::addEmitter(ParticleEmitter* emitter) {
    if (emitter) emitters.push_back(emitter);
}

void Level::removeEmitter(ParticleEmitter* emitter) {
    if (!emitter) return;
    emitters.remove(emitter);
    delete emitter;
}

void Level::update(float dt) {
    if (!removalQueue.empty()) {
        // Taken out first, so removeActor may drop entries from the queue;
        // an actor queued twice goes once.
        std::vector<Actor*> queue(removalQueue.begin(), removalQueue.end());
        removalQueue.clear();
        for (Actor* actor : withoutRepeats(queue)) removeActor(actor);
    }

    handleInput(dt);

    // Lists, so that objects added on the way are appended without
    // invalidating the walk (they are updated in this frame too).
    deferRemovals = true;
    for (Actor* actor : actors) {
        actor->update(dt);
        if (actor->removeRequested) removalQueue.push_back(actor);
    }
    for (Actor* element : hudElements) {
        element->update(dt);
        if (element->removeRequested) removalQueue.push_back(element);
    }
    deferRemovals = false;

    for (Camera* camera : cameras) camera->update(dt);

    // At most one spent emitter goes per frame: the last in list order.
    ParticleEmitter* spent = nullptr;
    for (ParticleEmitter* emitter : emitters) {
        emitter->update(dt);
        if (emitter->emitterLife < -emitter->particleLife) spent = emitter;
    }
    if (spent) removeEmitter(spent);

    world->stepSimulation(dt, 1, 1.0f / 60.0f);

    onUpdate(dt);
}

void Level::tickCallback(btDynamicsWorld* world, btScalar timeStep) {
    Level* level = static_cast<Level*>(world->getWorldUserInfo());
    if (level) level->dispatchCollisions(timeStep);
}

void Level::dispatchCollisions(btScalar) {
    const bool outerDefer = deferRemovals;
    deferRemovals = true;
    const int count = dispatcher->getNumManifolds();
    for (int i = 0; i < count && i < dispatcher->getNumManifolds(); ++i) {
        btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        Actor* a = static_cast<Actor*>(manifold->getBody0()->getUserPointer());
        Actor* b = static_cast<Actor*>(manifold->getBody1()->getUserPointer());
        if (!a || !b) continue;
        if (a->wantsCollisionEvents) a->onCollision(b);
        if (b->wantsCollisionEvents) b->onCollision(a);
    }
    deferRemovals = outerDefer;
}

void Level::render(bool useVBO) {
    for (Camera* camera : cameras) {
        camera->applyViewport();
        for (Actor* actor : actors)
            if (isVisible(camera, actor))
                actor->render(camera, ambientColor, *mainLight, useVBO);
        for (ParticleEmitter* emitter : emitters)
            emitter->render(camera, ambientColor, *mainLight, useVBO);
    }
    // Elements need a camera to be drawn with: without one the pass is
    // skipped.
    if (hudCamera) {
        hudCamera->applyViewport();
        for (Actor* element : hudElements)
            element->render(hudCamera, ambientColor, *mainLight, useVBO);
    }
    world->debugDrawWorld();
    glViewport(0, 0, width, height);
    glfw2::swapBuffers();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool Level::isVisible(Camera*, Actor*) { return true; }

} // namespace Engine
