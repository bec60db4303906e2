#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A car icon of the head-up display's lives counter.
class Icon : public Engine::Decoration {
public:
    Icon();
};

} // namespace Decorations
