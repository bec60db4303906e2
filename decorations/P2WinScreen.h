#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// The picture shown when player 2 has won.
class P2WinScreen : public Engine::Decoration {
public:
    P2WinScreen();
};

} // namespace Decorations
