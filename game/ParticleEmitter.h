#pragma once
#include <memory>
#include <vector>

#include "engine/Actor.h"
#include "game/Particle.h"

namespace Engine {

// Keeps a fixed ring of particle slots and re-emits one slot at a time at
// its own position, at most one a frame, instead of making a particle per
// emission. It has no mesh and no body; the level updates and draws it
// through its own emitter list and drops it once every particle has run out.
class ParticleEmitter : public Actor {
public:
    ParticleEmitter();
    ~ParticleEmitter() override;

    // Draws every particle of the ring; the emitter itself shows nothing.
    void render(Camera* camera, const glm::vec4& ambientColor, const Light& light,
                bool useVBO) override;
    void update(float dt) override;

    // Emits the next slot of the ring (the first emission uses slot 1).
    virtual void emit();
    // Restarts the particle of the slot at the emitter's position.
    virtual void resetParticle(int index);
    // Fills an empty slot; the base emitter makes nothing.
    virtual void createParticle(int index);

    float emitterLife = 9999999.0f;
    float particleLife = 0.0f;
    int poolSize = 0;
    int ringIndex = 0;
    // Below 0 at the start, so the first update emits.
    float spawnTimer = -0.5f;
    // `poolSize` slots, empty until first used; owned.
    std::vector<std::unique_ptr<Particle>> particles;

protected:
    bool validSlot(int index) const;
};

} // namespace Engine
