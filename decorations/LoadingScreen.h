#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// The picture shown while the arena loads.
class LoadingScreen : public Engine::Decoration {
public:
    LoadingScreen();
};

} // namespace Decorations
