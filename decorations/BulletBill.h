#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A bullet-shaped figure that is only drawn: no body.
class BulletBill : public Engine::Decoration {
public:
    BulletBill();
};

} // namespace Decorations
