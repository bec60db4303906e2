#include "levels/PlainActorLevel.h"

#include <algorithm>
#include <cmath>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/ResourceRegistry.h"

namespace Levels {

namespace {
constexpr float boxSpacing = 6.0f;
constexpr float firstLayerHeight = 10.0f;
} // namespace

PlainActorLevel::PlainActorLevel(const std::string& meshFile, int boxCount) {
    floor = makeBox(meshFile, glm::vec3(0.0f, -10.0f, 0.0f), glm::vec3(80.0f, 2.0f, 80.0f), 0.0f);

    // Layers of a square grid, each layer a little higher and turned, so
    // that the boxes land on each other and tumble.
    const int count = std::max(boxCount, 0);
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(count / 3.0))));
    const float half = (side - 1) * boxSpacing * 0.5f;
    for (int i = 0; i < count; ++i) {
        const int layer = i / (side * side);
        const int row = (i / side) % side;
        const int column = i % side;
        const float shift = (layer % 2) * boxSpacing * 0.3f;
        const glm::vec3 position(column * boxSpacing - half + shift,
                                 firstLayerHeight + layer * boxSpacing * 0.8f,
                                 row * boxSpacing - half + shift);
        Engine::Actor* box = makeBox(meshFile, position, glm::vec3(2.0f), 10.0f);
        box->rotationAngle = static_cast<float>((i * 37) % 90);
        box->rotationAxis = glm::vec3(0.3f, 1.0f, 0.2f);
        box->updateModelMatrix();
        boxes.push_back(box);
    }
    for (Engine::Actor* box : boxes) addActor(box);
    addActor(floor);

    // A configuration without a window size still gets usable cameras.
    const int viewWidth = width > 0 ? width : 1;
    const int viewHeight = height > 0 ? height : 1;
    addCamera(new Engine::Camera(0, 0, viewWidth, viewHeight));
    setHUDCamera(new Engine::HUDCamera(0, 0, viewWidth, viewHeight));
}

Engine::Actor* PlainActorLevel::makeBox(const std::string& meshFile, glm::vec3 position,
                                        glm::vec3 scale, float mass) {
    Engine::Actor* actor = new Engine::Actor();
    actor->mesh = ResourceRegistry::getMesh(meshFile);
    actor->mass = mass;
    actor->position = position;
    actor->scale = scale;
    actor->updateModelMatrix();
    // The mesh's bounds give the box; without a mesh, a unit cube scaled.
    btVector3 halfExtents = actor->getSize();
    if (halfExtents.x() <= 0.0f || halfExtents.y() <= 0.0f || halfExtents.z() <= 0.0f)
        halfExtents = btVector3(scale.x, scale.y, scale.z);
    actor->collisionShape = new btBoxShape(halfExtents);
    return actor;
}

} // namespace Levels
