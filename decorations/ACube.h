#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A toy letter block "A": a movable box.
class ACube : public Engine::Decoration {
public:
    ACube();
};

} // namespace Decorations
