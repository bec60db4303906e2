#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A toy letter block "D": a movable box.
class DCube : public Engine::Decoration {
public:
    DCube();
};

} // namespace Decorations
