#include "game/Car.h"

#include <utility>

#include "engine/ResourceRegistry.h"
#include "game/MeshBounds.h"

namespace Vehicles {

namespace {
// The shipped car's proportions: 3 wide, 2 high, 6 long.
const Engine::MeshBounds kShippedCar{{-1.5f, -1.0f, -3.0f}, {1.5f, 1.0f, 3.0f}};
} // namespace

Car::Car(std::string path) : meshPath(std::move(path)) {
    loadModel();

    delete collisionShape;
    delete chassisShape;
    chassisShape = new btBoxShape(btVector3(width / 2.0f, height / 2.0f, length / 2.0f));
    chassisShape->setUserPointer(this);
    auto* compound = new btCompoundShape(true);
    btTransform local;
    local.setIdentity();
    local.setOrigin(btVector3(0.0f, 0.75f * height, 0.0f));
    compound->addChildShape(local, chassisShape);
    compound->setUserPointer(this);
    collisionShape = compound;

    // Drawn at the height of the box; the offset is not turned with the car.
    offset.y = 0.75f * height;

    wheelPoints[0] = btVector3(0.4f * width, 0.3f * height, 0.21f * length);
    wheelPoints[1] = btVector3(-0.4f * width, 0.3f * height, 0.21f * length);
    wheelPoints[2] = btVector3(0.4f * width, 0.3f * height, -0.26f * length);
    wheelPoints[3] = btVector3(-0.4f * width, 0.3f * height, -0.26f * length);
    itemCarryOffset = glm::vec3(0.0f, 1.3f * height, -0.1f * length);
    wantsCollisionEvents = true;
}

Car::~Car() = default;

void Car::loadModel() {
    mesh = ResourceRegistry::getMesh(meshPath);
    const glm::vec3 extent = Engine::boundsOr(mesh, kShippedCar).extent();
    const float s = 6.0f / extent.z;
    length = extent.z * s;
    width = extent.x * s;
    height = extent.y * s;
    // The motion state rebuilds the matrix after the next physics step.
    scale = glm::vec3(s, s, s);
}

} // namespace Vehicles
