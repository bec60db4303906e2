#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A toy letter block "B": a movable box.
class BCube : public Engine::Decoration {
public:
    BCube();
};

} // namespace Decorations
