#include "levels/LoadingScreenLevel.h"

#include "decorations/LoadingScreen.h"
#include "engine/Config.h"
#include "engine/HUDCamera.h"

namespace Levels {

LoadingScreenLevel::LoadingScreenLevel() {
    auto* screen = new Decorations::LoadingScreen();
    screen->setPosition(glm::vec3(0.0f, 0.0f, 0.0f));
    screen->setScale(1.0f);
    screen->drawOffscreen = false;
    screen->textureMode2 = false;
    addHUDElement(screen);
    setHUDCamera(
        new Engine::HUDCamera(0, 0, Config::getInt("width"), Config::getInt("height")));
}

LoadingScreenLevel::~LoadingScreenLevel() = default;

} // namespace Levels
