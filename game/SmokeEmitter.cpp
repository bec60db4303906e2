#include "game/SmokeEmitter.h"

#include "game/SmokeParticle.h"

namespace Engine {

SmokeEmitter::SmokeEmitter() {
    emitterLife = 4.0f;
    particleLife = 2.0f;
    poolSize = 100;
    particles.resize(100);
}

void SmokeEmitter::createParticle(int index) {
    if (validSlot(index)) particles[index] = std::make_unique<SmokeParticle>();
}

void SmokeEmitter::resetParticle(int index) { ParticleEmitter::resetParticle(index); }

} // namespace Engine
