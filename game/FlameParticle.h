#pragma once
#include "game/Particle.h"

namespace Engine {

// A flame: fades from its first update over its half-second life.
class FlameParticle : public Particle {
public:
    FlameParticle();
};

} // namespace Engine
