#include "game/ParticleEmitter.h"

namespace Engine {

ParticleEmitter::ParticleEmitter() = default;

ParticleEmitter::~ParticleEmitter() = default;

bool ParticleEmitter::validSlot(int index) const {
    return index >= 0 && index < poolSize && static_cast<size_t>(index) < particles.size();
}

void ParticleEmitter::render(Camera* camera, const glm::vec4& ambientColor, const Light& light,
                             bool useVBO) {
    for (auto& particle : particles)
        if (particle) particle->render(camera, ambientColor, light, useVBO);
}

void ParticleEmitter::update(float dt) {
    for (auto& particle : particles)
        if (particle) particle->update(dt);
    emitterLife -= dt;
    if (emitterLife <= 0.0f) return;
    spawnTimer -= dt;
    if (spawnTimer < 0.0f) {
        // Set, not added: a long frame still emits only one particle.
        spawnTimer = poolSize > 0 ? particleLife / static_cast<float>(poolSize) : 0.0f;
        emit();
    }
}

void ParticleEmitter::emit() {
    if (poolSize <= 0) return;
    ringIndex = (ringIndex + 1) % poolSize;
    if (!validSlot(ringIndex)) return;
    if (!particles[ringIndex]) createParticle(ringIndex);
    resetParticle(ringIndex);
}

void ParticleEmitter::resetParticle(int index) {
    if (!validSlot(index) || !particles[index]) return;
    Particle* particle = particles[index].get();
    particle->position = position;
    particle->colorBias.a = 1.0f;
    particle->remainingLife = particleLife;
    // Drawn this very frame: place it at the emitter now rather than where
    // the slot was last (or at the origin for a new one).
    particle->updateModelMatrix();
}

void ParticleEmitter::createParticle(int) {}

} // namespace Engine
