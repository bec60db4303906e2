#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A ball that rolls about the arena: a movable sphere.
class Ball : public Engine::Decoration {
public:
    Ball();
};

} // namespace Decorations
