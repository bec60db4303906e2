#include "levels/TestHUD.h"

#include <string>

#include "decorations/GameBoy.h"
#include "decorations/P1WinScreen.h"
#include "decorations/Text.h"
#include "engine/Camera.h"
#include "engine/Config.h"
#include "engine/HUDCamera.h"

Decorations::Text* testHudCounterText = nullptr;
Decorations::Text* testHudText = nullptr;

namespace Levels {

TestHUD::TestHUD() {
    frameCounter = 0;
    // At the HUD's lower-left corner, in the default colour, empty until
    // the first update.
    testHudCounterText = new Decorations::Text();
    testHudCounterText->setScale(0.03f);
    addHUDElement(testHudCounterText);

    testHudText = new Decorations::Text();
    testHudText->setScale(0.04f);
    testHudText->setText("OIDA WOS?! 1234567890:-;,");
    testHudText->setPosition(glm::vec3(0.05f, 0.5f, 0.0f));
    testHudText->setColor(glm::vec4(1.0f, 1.0f, 0.0f, 1.0f));
    addHUDElement(testHudText);

    auto* screen = new Decorations::P1WinScreen();
    screen->textureMode2 = false;
    screen->setPosition(glm::vec3(0.0f, 0.0f, -5.0f));
    screen->setScale(1.0f);
    addHUDElement(screen);

    const int w = Config::getInt("width"), h = Config::getInt("height");
    setHUDCamera(new Engine::HUDCamera(0, 0, w, h));
    // Drawn at 200 with the box of its own scale 2, and nothing under it.
    auto* gameBoy = new Decorations::GameBoy();
    gameBoy->setPosition(glm::vec3(0.0f, 0.0f, 0.0f));
    gameBoy->setScale(200.0f);
    addActor(gameBoy);
    addCamera(new Engine::Camera(0, 0, w, h));
}

TestHUD::~TestHUD() = default;

void TestHUD::onUpdate(float) {
    frameCounter += 1;
    testHudCounterText->setText(std::to_string(frameCounter));
}

} // namespace Levels
