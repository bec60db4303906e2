#include "levels/Desk1.h"

#include "decorations/ACube.h"
#include "decorations/BCube.h"
#include "decorations/CCube.h"
#include "decorations/DCube.h"
#include "decorations/SkyDome.h"
#include "decorations/Text.h"
#include "decorations/WoodTable.h"
#include "engine/Globals.h"
#include "game/Mine.h"
#include "game/PickupMarker.h"

namespace Levels {

Desk1::Desk1() {
    player2Out = false;
    player1Out = false;

    auto* table = new Decorations::WoodTable();
    table->setPosition(glm::vec3(0.0f, -1.0f, 0.0f));
    table->textureMode2 = false;
    addActor(table);
    addActorAt(new Engine::PickupMarker(), {90.0f, 1.0f, -10.0f});
    addActorAt(new Engine::PickupMarker(), {0.0f, 1.0f, 70.0f});
    addActorAt(new Engine::Mine(nullptr), {10.0f, 1.0f, 70.0f});
    addActorAt(new Decorations::ACube(), {25.0f, 5.0f, 30.0f});
    addActorAt(new Decorations::BCube(), {-40.0f, 5.0f, -90.0f});
    addActorAt(new Decorations::CCube(), {80.0f, 5.0f, 50.0f});
    addActorAt(new Decorations::DCube(), {-50.0f, 5.0f, 68.0f});
    // The stack, top first, placed as given although its boxes overlap.
    addActorAt(new Decorations::ACube(), {35.0f, 35.0f, -60.0f});
    addActorAt(new Decorations::BCube(), {35.0f, 25.0f, -60.0f});
    addActorAt(new Decorations::CCube(), {35.0f, 15.0f, -60.0f});
    addActorAt(new Decorations::DCube(), {35.0f, 5.0f, -60.0f});
    addActorAt(new Decorations::SkyDome(), {0.0f, -100.0f, 0.0f})->setScale(50.0f);

    const glm::vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
    livesText[0] = addText({0.0f, 0.5f, 0.0f}, 0.03f, red, nullptr);
    livesText[1] = addText({0.0f, 0.0f, 0.0f}, 0.03f, red, nullptr);
    messageText = addText({0.7f, 0.0f, 0.0f}, 0.02f, {0.0f, 1.0f, 0.0f, 1.0f}, "status bar");
    fpsText = addText({0.88f, 0.97f, 0.0f}, 0.023f, {0.5f, 0.5f, 0.5f, 1.0f}, nullptr);
    ::fpsText = fpsText;
    addOverlays(radar, helpScreen);

    addWindowHUDCamera();
    addPlayers();
}

Desk1::~Desk1() = default;

void Desk1::onUpdate(float dt) {
    applyOutRule(player1Out, player2Out);
    showLives(livesText, " life: ");
    countFrameRate(dt, fpsText);
}

void Desk1::onMessage(std::string message) { messageText->setText(message); }

} // namespace Levels
