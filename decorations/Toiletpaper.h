#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A roll of toilet paper standing on the table: a movable box.
class Toiletpaper : public Engine::Decoration {
public:
    Toiletpaper();
};

} // namespace Decorations
