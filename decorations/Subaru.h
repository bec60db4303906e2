#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A parked toy car: a movable box.
class Subaru : public Engine::Decoration {
public:
    Subaru();
};

} // namespace Decorations
