#pragma once
#include <string>
#include <vector>

#include "engine/Level.h"

namespace Levels {

// A level of plain actors: boxes that fall onto a static floor and collide,
// seen by one turning camera over the whole window, with a HUD camera and no
// HUD elements. Every box and the floor show the given mesh (a cube whose
// bounds give the box sizes).
class PlainActorLevel : public Engine::Level {
public:
    explicit PlainActorLevel(const std::string& meshFile = "meshes/cube/acube.obj",
                             int boxCount = 27);

    // Bodies of the scene, for inspection (the level owns them).
    Engine::Actor* floor = nullptr;
    std::vector<Engine::Actor*> boxes;

private:
    Engine::Actor* makeBox(const std::string& meshFile, glm::vec3 position, glm::vec3 scale,
                           float mass);
};

} // namespace Levels
