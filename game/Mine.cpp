#include "game/Mine.h"

#include "engine/Level.h"
#include "engine/Log.h"
#include "engine/ResourceRegistry.h"
#include "game/ExplosionHalo.h"
#include "game/MeshBounds.h"
#include "game/SpinningModel.h"
#include "game/Vehicle.h"

namespace Engine {

namespace {
const MeshBounds kShippedMine{{-0.44262f, -1.055f, -0.44177f}, {0.44262f, 0.0f, 0.44177f}};
// Where the pick-up boxes count as fallen off the table.
constexpr float kFallenBelow = -100.0f;
} // namespace

Mine::Mine(Vehicle* owner) : owner(owner) {
    mesh = ResourceRegistry::getMesh("meshes/mine/mine.obj");
    mass = 50.0f;
    const glm::vec3 extent = boundsOr(mesh, kShippedMine).extent();
    const float s = 2.0f / extent.y; // two units high
    setScale(s);
    collisionShape = new btBoxShape(btVector3(s * extent.x, 2.0f, s * extent.x));
    carryOffset = glm::vec3(0.0f, 0.3f, 0.0f);
    wantsCollisionEvents = true;
}

Mine::~Mine() = default;

bool Mine::use(btDynamicsWorld* newWorld) {
    world = newWorld;
    Level* level = world ? static_cast<Level*>(world->getWorldUserInfo()) : nullptr;
    if (!level || !owner) return true; // nowhere to drop it: the car keeps it
    setPosition(owner->position + glm::vec3(0.0f, 5.0f, 0.0f));
    level->addActor(this);
    owner = nullptr; // dropped: the mine no longer needs its car
    return false;
}

void Mine::update(float dt) {
    if (armTimer > armDelay && !armed)
        armed = true;
    else
        armTimer += dt;
    spinAngle -= 100.0f * dt;
    updateModelMatrix();
    // Off the table it would fall for ever: it goes without exploding.
    if (position.y < kFallenBelow) removeRequested = true;
}

void Mine::updateModelMatrix() {
    buildSpinningModelMatrix(*this, spinAngle);
}

void Mine::onCollision(Actor* other) {
    if (exploded || !armed || !dynamic_cast<Vehicle*>(other)) return;
    logLine("Mine Exploded");
    explode();
}

void Mine::explode() {
    if (exploded) return;
    exploded = true;
    removeRequested = true;
    Level* level = world ? static_cast<Level*>(world->getWorldUserInfo()) : nullptr;
    if (level) level->addActor(new ExplosionHalo(30.0f, 600000.0f, position));
}

} // namespace Engine
