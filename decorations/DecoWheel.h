#pragma once
#include "engine/Actor.h"

namespace Decorations {

// A loose car wheel, scaled to one unit high: a cylinder along x that grips
// (friction 1).
class DecoWheel : public Engine::Actor {
public:
    DecoWheel();

    bool addToWorld(btDynamicsWorld* world) override;
};

} // namespace Decorations
