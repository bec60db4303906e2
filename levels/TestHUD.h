#pragma once
#include "engine/Level.h"

namespace Decorations { class Text; }

namespace Levels {

// A level for trying out HUD text: a frame counter and a fixed line of text
// over a win screen, with a large GameBoy falling under a plain turning
// camera. Start-up never builds it.
class TestHUD : public Engine::Level {
public:
    TestHUD();
    ~TestHUD() override;

    // Counts the frame and shows the count.
    void onUpdate(float dt) override;

    int frameCounter = 0;
};

} // namespace Levels

// The frame counter and the test line of the last TestHUD built; null before.
extern Decorations::Text* testHudCounterText;
extern Decorations::Text* testHudText;
