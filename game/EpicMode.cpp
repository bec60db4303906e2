#include "game/EpicMode.h"

#include "engine/Level.h"
#include "engine/ResourceRegistry.h"
#include "game/MeshBounds.h"
#include "game/Vehicle.h"

namespace Engine {

namespace {
const MeshBounds kShippedBulletBill{{-0.2f, -0.2f, -0.375f}, {0.2f, 0.2f, 0.375f}};
} // namespace

EpicMode::EpicMode(Vehicle* owner) : owner(owner) {
    mesh = ResourceRegistry::getMesh("meshes/bulletbill.obj");
    mass = 0.1f;
    setScale(2.0f);
    const glm::vec3 half = scale * boundsOr(mesh, kShippedBulletBill).max;
    collisionShape = new btBoxShape(btVector3(half.x, half.y, half.z));
    carryOffset = glm::vec3(0.0f, 0.3f, 0.0f);
}

EpicMode::~EpicMode() = default;

void EpicMode::update(float) {}

bool EpicMode::use(btDynamicsWorld* newWorld) {
    world = newWorld;
    Level* level = world ? static_cast<Level*>(world->getWorldUserInfo()) : nullptr;
    if (!level) return true; // nowhere to go: the car keeps it
    level->addActor(this);
    if (owner) owner->startEpicMode();
    removeRequested = true;
    return false;
}

} // namespace Engine
