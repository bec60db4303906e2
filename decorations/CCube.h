#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A toy letter block "C": a movable box.
class CCube : public Engine::Decoration {
public:
    CCube();
};

} // namespace Decorations
