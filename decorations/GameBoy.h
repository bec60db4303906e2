#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A handheld console lying on the table: a movable box.
class GameBoy : public Engine::Decoration {
public:
    GameBoy();
};

} // namespace Decorations
