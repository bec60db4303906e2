// Particles fading out and the emitter's ring of particles.
#include <gtest/gtest.h>

#include <utility>

#include "engine/Level.h"
#include "game/FlameParticle.h"
#include "game/Particle.h"
#include "game/SmokeEmitter.h"
#include "tests/support/LevelTestBase.h"

namespace {

using ParticleTest = testsupport::LevelTestBase;

int usedSlots(const Engine::ParticleEmitter& emitter) {
    int used = 0;
    for (const auto& p : emitter.particles) used += p ? 1 : 0;
    return used;
}

TEST_F(ParticleTest, FadesOverTheLastFadeTimeAndDiesOnlyBelowZero) {
    Engine::Particle p;
    p.remainingLife = 3.0f;
    p.fadeTime = 2.0f;
    p.position = glm::vec3(1, 2, 3);

    p.update(0.5f); // 2.5 left: not fading yet
    EXPECT_FLOAT_EQ(p.colorBias.a, 1.0f);
    EXPECT_EQ(p.modelMatrix[3], glm::vec4(1, 2, 3, 1));
    p.update(1.0f); // 1.5 of 2.0
    EXPECT_FLOAT_EQ(p.colorBias.a, 0.75f);
    p.update(1.5f); // exactly 0: still alive
    EXPECT_FLOAT_EQ(p.remainingLife, 0.0f);
    EXPECT_FLOAT_EQ(p.colorBias.a, 0.0f);
    EXPECT_FALSE(p.removeRequested);
    p.position = glm::vec3(7, 7, 7);
    p.update(0.25f); // below 0: dies, matrix no longer follows
    EXPECT_TRUE(p.removeRequested);
    EXPECT_FLOAT_EQ(p.colorBias.a, 0.0f);
    EXPECT_EQ(p.modelMatrix[3], glm::vec4(1, 2, 3, 1));
}

TEST_F(ParticleTest, BareParticleAndFlameLiveOneFullFade) {
    // {first step, alpha after it, second step}: alive after the first,
    // gone after the second.
    Engine::Particle bare;
    Engine::FlameParticle flame;
    EXPECT_FLOAT_EQ(flame.colorBias.a, 1.0f); // opaque until its first update
    const std::pair<Engine::Particle*, glm::vec3> cases[] = {{&bare, {5.0f, 0.5f, 5.5f}},
                                                             {&flame, {0.125f, 0.75f, 0.375f}}};
    for (const auto& [p, c] : cases) {
        p->update(c.x);
        EXPECT_FLOAT_EQ(p->colorBias.a, c.y);
        p->update(c.z);
        EXPECT_EQ(p->removeRequested, p == &bare);
    }
    EXPECT_FLOAT_EQ(flame.colorBias.a, 0.0f);
    flame.update(0.01f);
    EXPECT_TRUE(flame.removeRequested);
}

TEST_F(ParticleTest, FirstUpdateEmitsIntoSlotOneAndSetsTheSpawnTimer) {
    Engine::SmokeEmitter emitter;
    ASSERT_EQ(emitter.particles.size(), 100u);
    emitter.position = glm::vec3(4, 5, 6);

    emitter.update(0.1f);
    EXPECT_EQ(emitter.ringIndex, 1);
    ASSERT_NE(emitter.particles[1], nullptr);
    EXPECT_EQ(usedSlots(emitter), 1);
    // Set to particleLife / poolSize, not added to what was left.
    EXPECT_FLOAT_EQ(emitter.spawnTimer, 0.02f);
    Engine::Particle* first = emitter.particles[1].get();
    EXPECT_EQ(first->position, glm::vec3(4, 5, 6));
    EXPECT_FLOAT_EQ(first->remainingLife, 2.0f);
    EXPECT_EQ(first->modelMatrix[3], glm::vec4(4, 5, 6, 1));
    EXPECT_FLOAT_EQ(emitter.emitterLife, 3.9f);

    // A long frame still emits one particle only.
    emitter.update(0.5f);
    EXPECT_EQ(usedSlots(emitter), 2);
    EXPECT_FLOAT_EQ(first->remainingLife, 1.5f);
    EXPECT_FLOAT_EQ(emitter.spawnTimer, 0.02f);
}

TEST_F(ParticleTest, RingWrapsToSlotZeroAndReusesItsParticles) {
    Engine::SmokeEmitter emitter;
    emitter.emitterLife = 1000.0f;
    for (int i = 0; i < 99; ++i) emitter.update(0.03f);
    EXPECT_EQ(emitter.ringIndex, 99);
    EXPECT_EQ(emitter.particles[0], nullptr);
    emitter.update(0.03f);
    EXPECT_EQ(emitter.ringIndex, 0);
    ASSERT_NE(emitter.particles[0], nullptr);
    EXPECT_EQ(usedSlots(emitter), 100);

    Engine::Particle* reused = emitter.particles[1].get();
    EXPECT_LT(reused->remainingLife, 0.0f);
    EXPECT_FLOAT_EQ(reused->colorBias.a, 0.0f);
    emitter.position = glm::vec3(9, 0, 0);
    emitter.update(0.03f);
    EXPECT_EQ(emitter.particles[1].get(), reused);
    EXPECT_FLOAT_EQ(reused->remainingLife, 2.0f);
    EXPECT_FLOAT_EQ(reused->colorBias.a, 1.0f);
    EXPECT_EQ(reused->position, glm::vec3(9, 0, 0));
}

TEST_F(ParticleTest, EmitterWithLifeZeroEmitsNothingButItsParticlesFade) {
    Engine::SmokeEmitter silent;
    silent.emitterLife = 0.0f;
    silent.update(0.1f);
    EXPECT_EQ(usedSlots(silent), 0);
    EXPECT_EQ(silent.ringIndex, 0);

    Engine::SmokeEmitter trail;
    trail.update(0.1f);
    trail.emitterLife = 0.0f;
    trail.update(1.5f);
    EXPECT_EQ(usedSlots(trail), 1);
    EXPECT_FLOAT_EQ(trail.particles[1]->colorBias.a, 0.5f);
    EXPECT_FLOAT_EQ(trail.emitterLife, -1.5f);
}

TEST_F(ParticleTest, EmitterWithoutSlotsEmitsNothing) {
    Engine::ParticleEmitter bare;
    bare.particleLife = 1.0f;
    bare.update(0.1f);
    bare.emit();
    EXPECT_TRUE(bare.particles.empty());
    // Slots but no particle kind: slots stay empty.
    bare.poolSize = 4;
    bare.particles.resize(4);
    bare.update(0.1f);
    bare.update(0.3f);
    EXPECT_EQ(usedSlots(bare), 0);
    EXPECT_EQ(bare.ringIndex, 2);
}

TEST_F(ParticleTest, LevelDropsATrailOnceItsParticlesHaveRunOut) {
    Engine::Level level;
    auto* trail = new Engine::SmokeEmitter();
    level.addEmitter(trail);
    level.update(0.5f);
    trail->emitterLife = 0.0f;
    level.update(1.0f);
    level.update(1.0f); // -2.0: not below -particleLife yet
    EXPECT_EQ(level.emitters.size(), 1u);
    level.update(0.25f);
    EXPECT_TRUE(level.emitters.empty());
}

} // namespace
