#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// The sky around the arena, seen from inside: no body.
class SkyDome : public Engine::Decoration {
public:
    SkyDome();
};

} // namespace Decorations
