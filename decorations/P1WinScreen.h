#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// The picture shown when player 1 has won.
class P1WinScreen : public Engine::Decoration {
public:
    P1WinScreen();
};

} // namespace Decorations
