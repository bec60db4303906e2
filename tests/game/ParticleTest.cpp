// Particles fading out and the emitter's ring of particles.
#include <gtest/gtest.h>

#include "engine/Level.h"
#include "game/FlameParticle.h"
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
    for (auto [dt, alpha] : {std::pair{0.5f, 1.0f}, {1.0f, 0.75f}, {1.5f, 0.0f}}) { // the last lands on 0
        p.update(dt);
        EXPECT_FLOAT_EQ(p.colorBias.a, alpha);
        EXPECT_FALSE(p.removeRequested);
    }
    EXPECT_EQ(p.modelMatrix[3], glm::vec4(1, 2, 3, 1));
    p.position = glm::vec3(7, 7, 7);
    p.update(0.25f); // below 0: dies, the matrix no longer follows
    EXPECT_TRUE(p.removeRequested);
    EXPECT_EQ(p.modelMatrix[3], glm::vec4(1, 2, 3, 1));
    Engine::FlameParticle flame; // one fade of half a second
    flame.update(0.125f);
    EXPECT_FLOAT_EQ(flame.colorBias.a, 0.75f);
}

TEST_F(ParticleTest, RingStartsAtSlotOneEmitsOncePerFrameAndReusesItsParticles) {
    Engine::SmokeEmitter emitter;
    ASSERT_EQ(emitter.particles.size(), 100u);
    emitter.position = glm::vec3(4, 5, 6);
    emitter.update(0.1f);
    ASSERT_NE(emitter.particles[1], nullptr);
    EXPECT_EQ(usedSlots(emitter), 1);
    EXPECT_FLOAT_EQ(emitter.spawnTimer, 0.02f); // particleLife / poolSize, set, not added
    Engine::Particle* first = emitter.particles[1].get();
    EXPECT_EQ(first->modelMatrix[3], glm::vec4(4, 5, 6, 1));
    emitter.update(0.5f); // a long frame still emits one particle only
    EXPECT_EQ(usedSlots(emitter), 2);
    EXPECT_FLOAT_EQ(emitter.spawnTimer, 0.02f);
    EXPECT_FLOAT_EQ(first->remainingLife, 1.5f);

    emitter.emitterLife = 1000.0f;
    for (int i = 0; i < 98; ++i) emitter.update(0.03f);
    EXPECT_EQ(emitter.ringIndex, 0);
    EXPECT_EQ(usedSlots(emitter), 100);
    EXPECT_FLOAT_EQ(first->colorBias.a, 0.0f);
    emitter.position = glm::vec3(9, 0, 0);
    emitter.update(0.03f);
    EXPECT_EQ(emitter.particles[1].get(), first);
    EXPECT_FLOAT_EQ(first->remainingLife, 2.0f);
    EXPECT_FLOAT_EQ(first->colorBias.a, 1.0f);
    EXPECT_EQ(first->position, glm::vec3(9, 0, 0));
}

TEST_F(ParticleTest, EmitterWhoseLifeRunsOutOrWithoutSlotsEmitsNothing) {
    Engine::SmokeEmitter silent;
    silent.emitterLife = 0.1f;
    silent.update(0.1f); // lands exactly on 0
    EXPECT_EQ(usedSlots(silent), 0);
    Engine::SmokeEmitter trail;
    trail.update(0.1f);
    trail.emitterLife = 0.0f;
    trail.update(1.5f); // its particle still fades
    EXPECT_EQ(usedSlots(trail), 1);
    EXPECT_FLOAT_EQ(trail.particles[1]->colorBias.a, 0.5f);

    Engine::ParticleEmitter bare; // no slots; then slots but no particle kind
    bare.particleLife = 1.0f;
    bare.update(0.1f);
    bare.emit();
    EXPECT_TRUE(bare.particles.empty());
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
