#pragma once
#include "game/ParticleEmitter.h"

namespace Engine {

// A smoke trail: a ring of 100 smoke puffs of two seconds each, emitting
// for four seconds unless its owner says otherwise.
class SmokeEmitter : public ParticleEmitter {
public:
    SmokeEmitter();

    void createParticle(int index) override;
    void resetParticle(int index) override;
};

} // namespace Engine
