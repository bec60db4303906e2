#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A pipe so heavy that the cars cannot shift it.
class Pipe : public Engine::Decoration {
public:
    Pipe();
};

} // namespace Decorations
