#pragma once
#include "engine/Level.h"

namespace Levels {

// The picture shown while the arena is built: one full-window quad on the
// HUD, drawn into the window, and nothing else.
class LoadingScreenLevel : public Engine::Level {
public:
    LoadingScreenLevel();
    ~LoadingScreenLevel() override;
};

} // namespace Levels
