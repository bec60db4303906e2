#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// The wooden table that is the arena's floor: a static box.
class WoodTable : public Engine::Decoration {
public:
    WoodTable();
};

} // namespace Decorations
