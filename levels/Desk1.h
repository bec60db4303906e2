#pragma once
#include <string>

#include "levels/ArenaLevel.h"

namespace Levels {

// A second two-player arena on the table top: two pick-up boxes, a mine and
// eight toy cubes, four of them stacked; a plainer HUD (" life: " texts, a
// message line that keeps the last message) and the final arena's players,
// cameras, win screens and frame rate. Start-up never builds it.
class Desk1 : public Engine::ArenaLevel {
public:
    Desk1();
    ~Desk1() override;

    // Out check, win screen, lives texts, frame rate.
    void onUpdate(float dt) override;
    // The message line shows the message until the next one.
    void onMessage(std::string message) override;

    Decorations::Text* livesText[2] = {nullptr, nullptr};
    Decorations::Text* messageText = nullptr;
    Decorations::Text* fpsText = nullptr;
    Decorations::HelpScreen* helpScreen = nullptr;
    Decorations::Radar* radar = nullptr;
    bool player2Out = false;
    bool player1Out = false;
};

} // namespace Levels
