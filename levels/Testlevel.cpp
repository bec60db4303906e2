#include "levels/Testlevel.h"

#include "decorations/GameBoy.h"
#include "decorations/Radar.h"
#include "engine/Camera.h"
#include "engine/Config.h"
#include "engine/HUDCamera.h"
#include "game/Particle.h"

namespace Levels {

Testlevel::Testlevel() {
    auto* gameBoy = new Decorations::GameBoy();
    gameBoy->mass = 0.0f; // static
    gameBoy->setPosition(glm::vec3(0.0f, 0.0f, 0.0f));
    gameBoy->setScale(20.0f);
    addActor(gameBoy);

    // No mesh and no life given: it keeps the particle's own, one full fade
    // of 10 s, and then leaves the level.
    auto* particle = new Engine::Particle();
    particle->setScale(200.0f);
    addActor(particle);

    auto* radarQuad = new Decorations::Radar();
    radarQuad->setPosition(glm::vec3(0.0f, 0.0f, 0.0f));
    radarQuad->setScale(1.0f);
    addHUDElement(radarQuad);

    const int w = Config::getInt("width"), h = Config::getInt("height");
    addCamera(new Engine::Camera(0, 0, w, h));
    setHUDCamera(new Engine::HUDCamera(0, 0, w, h));
}

Testlevel::~Testlevel() = default;

} // namespace Levels
