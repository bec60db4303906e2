#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// The key help shown over the head-up display (F1 switches it).
class HelpScreen : public Engine::Decoration {
public:
    HelpScreen();
};

} // namespace Decorations
