#pragma once
#include <string>
#include <vector>

#include "levels/ArenaLevel.h"

namespace Levels {

// The arena that is played: the table top with its toys, pick-up boxes and a
// mine, the two players in the upper and lower halves of the window, and the
// HUD with lives, "START!", "Life Lost", status messages, the frame rate and
// the win screen.
class FinalLevel : public Engine::ArenaLevel {
public:
    FinalLevel();
    ~FinalLevel() override;

    // Out check, win screen, lives texts, "Life Lost", frame rate.
    void onUpdate(float dt) override;
    // Shows the message on the message line, fading over 3 seconds.
    void onMessage(std::string message) override;

    Decorations::Text* livesText[2] = {nullptr, nullptr};
    Decorations::Text* messageText = nullptr;
    Decorations::Text* fpsText = nullptr;
    Decorations::HelpScreen* helpScreen = nullptr;
    Decorations::Radar* radar = nullptr;
    bool player2Out = false;
    bool player1Out = false;
    // Each player's counter as of the last "Life Lost" check.
    int lastLives[2] = {0, 0};
    // The "START!" and "Life Lost" texts still fading. Each holds its own
    // font texture, so once its fade has ended it leaves the HUD rather
    // than stay there hidden, one more for every lost life.
    std::vector<Decorations::Text*> fadingTexts;

private:
    void addWorld();
    void addHUD();
    void releaseFadedTexts();
};

} // namespace Levels
