#include "levels/FinalLevel.h"

#include <algorithm>
#include <utility>

#include "decorations/ACube.h"
#include "decorations/BCube.h"
#include "decorations/Ball.h"
#include "decorations/BulletBill.h"
#include "decorations/CCube.h"
#include "decorations/DCube.h"
#include "decorations/GameBoy.h"
#include "decorations/Glass.h"
#include "decorations/HelpScreen.h"
#include "decorations/Icon.h"
#include "decorations/Pipe.h"
#include "decorations/Radar.h"
#include "decorations/SkyDome.h"
#include "decorations/Subaru.h"
#include "decorations/Text.h"
#include "decorations/Toiletpaper.h"
#include "decorations/WoodTable.h"
#include "decorations/WorldCup.h"
#include "engine/Globals.h"
#include "game/Mine.h"
#include "game/PickupMarker.h"

namespace Levels {

namespace {
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
} // namespace

FinalLevel::FinalLevel() {
    player1Out = false;
    player2Out = false;
    addWorld();
    addHUD();
    addWindowHUDCamera();
    addPlayers();
    lastLives[0] = lives.size() > 0 ? lives[0] : 0;
    lastLives[1] = lives.size() > 1 ? lives[1] : 0;
}

FinalLevel::~FinalLevel() = default;

void FinalLevel::addWorld() {
    auto* table = new Decorations::WoodTable();
    table->setPosition(glm::vec3(0.0f, -1.0f, 0.0f));
    table->textureMode2 = false;
    addActor(table);
    addActorAt(new Decorations::WorldCup(), {0.0f, 30.0f, 0.0f});
    addActorAt(new Decorations::ACube(), {-30.0f, 10.0f, 49.0f});
    addActorAt(new Decorations::BCube(), {0.0f, 10.0f, 51.0f});
    addActorAt(new Decorations::CCube(), {30.0f, 10.0f, 50.0f});
    addActorAt(new Decorations::DCube(), {-30.0f, 10.0f, -49.0f});
    addActorAt(new Decorations::ACube(), {0.0f, 10.0f, -51.0f});
    addActorAt(new Decorations::CCube(), {30.0f, 10.0f, -50.0f});
    addActorAt(new Decorations::GameBoy(), {-75.0f, 5.0f, -75.0f});
    addActorAt(new Decorations::Pipe(), {70.0f, 10.0f, 70.0f});

    auto* subaru = new Decorations::Subaru();
    subaru->rotationAngle = 50.0f;
    subaru->rotationAxis = kUp;
    addActorAt(subaru, {-50.0f, 5.0f, 20.0f});
    addActorAt(new Decorations::Ball(), {50.0f, 10.0f, 0.0f});
    addActorAt(new Decorations::Toiletpaper(), {-50.0f, 10.0f, -20.0f});

    // The glass's box follows its scale; the turn is written without a
    // rebuild and reaches the body when it is made.
    auto* glass = new Decorations::Glass();
    glass->setScale(6.0f);
    glass->setPosition(glm::vec3(50.0f, 5.0f, -40.0f));
    glass->rotationAngle = 66.0f;
    glass->rotationAxis = kUp;
    addActor(glass);
    addActorAt(new Decorations::BulletBill(), {0.0f, 1000.0f, 0.0f});

    addActorAt(new Engine::PickupMarker(), {0.0f, 1.0f, 75.0f});
    addActorAt(new Engine::PickupMarker(), {0.0f, 1.0f, -75.0f});
    addActorAt(new Engine::PickupMarker(), {25.0f, 1.0f, 0.0f});
    addActorAt(new Engine::PickupMarker(), {-25.0f, 1.0f, 0.0f});
    addActorAt(new Engine::Mine(nullptr), {-50.0f, 1.0f, -50.0f});

    addActorAt(new Decorations::SkyDome(), {0.0f, -100.0f, 0.0f})->setScale(50.0f);
}

void FinalLevel::addHUD() {
    for (float y : {0.5f, 0.0f}) {
        auto* icon = new Decorations::Icon();
        icon->setPosition(glm::vec3(0.0f, y, 0.0f));
        icon->setScale(0.06f);
        addHUDElement(icon);
    }
    const glm::vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
    livesText[0] = addText({0.07f, 0.51f, 0.0f}, 0.024f, red, nullptr);
    livesText[1] = addText({0.07f, 0.01f, 0.0f}, 0.024f, red, nullptr);
    messageText = addText({0.7f, 0.0f, 0.0f}, 0.02f, {0.0f, 1.0f, 0.0f, 1.0f}, "  ");
    fpsText = addText({0.88f, 0.97f, 0.0f}, 0.023f, {0.5f, 0.5f, 0.5f, 1.0f}, nullptr);
    ::fpsText = fpsText;
    addOverlays(radar, helpScreen);

    for (auto [y, color] : {std::pair{0.7f, glm::vec4(0.1f, 0.0f, 0.9f, 1.0f)},
                            std::pair{0.2f, glm::vec4(0.1f, 0.9f, 0.0f, 1.0f)}}) {
        Decorations::Text* start = addText({0.35f, y, 0.0f}, 0.04f, color, "START!");
        start->fadeOut(2.0f);
        fadingTexts.push_back(start);
    }
}

void FinalLevel::onUpdate(float dt) {
    applyOutRule(player1Out, player2Out);
    showLives(livesText, "x ");
    // The last life shows too: 1 to 0 on the loss, 0 to -1 by the out rule.
    for (size_t i = 0; i < 2 && i < lives.size(); ++i) {
        if (lives[i] >= lastLives[i]) continue;
        lastLives[i] = lives[i];
        const glm::vec3 at(0.25f, i == 0 ? 0.7f : 0.2f, 0.0f);
        Decorations::Text* lost = addText(at, 0.04f, {0.9f, 0.9f, 0.0f, 1.0f}, "Life Lost");
        lost->fadeOut(2.0f);
        fadingTexts.push_back(lost);
    }
    countFrameRate(dt, fpsText);
    releaseFadedTexts();
}

void FinalLevel::onMessage(std::string message) {
    messageText->show();
    messageText->setText(message);
    messageText->fadeOut(3.0f);
}

void FinalLevel::releaseFadedTexts() {
    // The level's update takes a HUD element that asks to be removed out of
    // the HUD and deletes it, with its texture, at the start of a later frame.
    auto faded = [](Decorations::Text* text) { return !text->fading && !text->visible; };
    for (Decorations::Text* text : fadingTexts)
        if (faded(text)) text->removeRequested = true;
    fadingTexts.erase(std::remove_if(fadingTexts.begin(), fadingTexts.end(), faded),
                      fadingTexts.end());
}

} // namespace Levels
