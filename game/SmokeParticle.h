#pragma once
#include "game/Particle.h"

namespace Engine {

// A puff of smoke; its maker (an explosion or a smoke emitter) sets its life.
class SmokeParticle : public Particle {
public:
    SmokeParticle();
};

} // namespace Engine
