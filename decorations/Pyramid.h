#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A laptop that is only drawn: no body.
class Pyramid : public Engine::Decoration {
public:
    Pyramid();
};

} // namespace Decorations
