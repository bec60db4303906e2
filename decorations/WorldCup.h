#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A trophy in the middle of the arena: a movable box.
class WorldCup : public Engine::Decoration {
public:
    WorldCup();
};

} // namespace Decorations
