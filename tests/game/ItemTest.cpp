// Items, pick-up boxes, explosions and rocket fuses on the table, player 1
// facing player 2 with a box in front of it; particles and their emitter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <typeinfo>

#include "engine/Globals.h"
#include "game/EpicMode.h"
#include "game/ExplosionHalo.h"
#include "game/FlameParticle.h"
#include "game/Mine.h"
#include "game/PickupMarker.h"
#include "game/Rocket.h"
#include "game/RocketProximityHalo.h"
#include "game/SmokeEmitter.h"
#include "game/SmokeParticle.h"
#include "tests/support/CarScene.h"

using namespace testsupport;

namespace {

class ItemTest : public CarScene {
protected:
    void SetUp() override {
        CarScene::SetUp();
        build();
    }
    void build(float range = 200.0f) {
        explosions.clear();
        addFloor();
        one = addCar(glm::vec3(-100, 2, -100));
        two = addCar(glm::vec3(-100, 2, -100 + range), 90.0f); // side-on
        box = new Engine::PickupMarker();
        box->setPosition(glm::vec3(-100, 2, -88));
        level->addActor(box);
        run(60); // on their wheels, at rest
    }
    template <typename T> std::vector<T*> all() {
        std::vector<T*> found;
        for (Engine::Actor* actor : level->actors)
            if (auto* t = dynamic_cast<T*>(actor)) found.push_back(t);
        return found;
    }
    // The first new explosion within the frames; all seen are kept in `explosions`.
    Engine::ExplosionHalo* runUntilExplosion(int frames) {
        for (int f = 0; f < frames; ++f) {
            run(1);
            for (Engine::ExplosionHalo* e : all<Engine::ExplosionHalo>())
                if (explosions.insert(e).second) return e;
        }
        return nullptr;
    }
    void fire() {
        hold(glfw2::KEY_RCTRL);
        run(1);
        hold(glfw2::KEY_RCTRL, false);
    }
    // Seeds the C library's generator so that the next draw rolls `roll`.
    static bool seedFor(int roll) {
        for (unsigned seed = 1; seed < 1000000; ++seed) {
            srand(seed);
            if ((rand() & 0x7FFF) / 327 == roll) return srand(seed), true;
        }
        return false;
    }
    Vehicles::Car* one = nullptr;
    Vehicles::Car* two = nullptr;
    Engine::PickupMarker* box = nullptr;
    std::set<Engine::ExplosionHalo*> explosions;
};

TEST_F(ItemTest, DrawDecidesTheItemAndTheBoxJumpsEvenWhenItGivesNothing) {
    const std::pair<int, const std::type_info*> rolls[] = {{32, &typeid(Engine::Rocket)},
        {33, &typeid(Engine::EpicMode)}, {65, &typeid(Engine::EpicMode)}, {66, &typeid(Engine::Mine)},
        {100, &typeid(Engine::Mine)}};
    for (const auto& [roll, kind] : rolls) {
        delete one->item;
        one->item = nullptr;
        ASSERT_TRUE(seedFor(roll));
        box->onCollision(one);
        ASSERT_NE(one->item, nullptr);
        EXPECT_TRUE(box->lastRoll == roll && typeid(*one->item) == *kind) << roll;
        EXPECT_TRUE(played(getItemSound));
    }
    Engine::Item* carried = one->item;
    one->item = nullptr;
    one->startEpicMode();
    for (Engine::Item* held : {carried, static_cast<Engine::Item*>(nullptr)}) { // carrying; power-up mode
        one->item = held;
        box->respawnPending = false;
        box->onCollision(one);
        EXPECT_EQ(one->item, held);
        EXPECT_FALSE(played(getItemSound));
        run(1);
        EXPECT_GT(box->position.y, 99.0f); // still jumps
    }
    one->item = carried;
}

TEST_F(ItemTest, TwoCarsTouchingOneBoxInOneStepBothGetItemsAndAFarBoxComesBackEveryFrame) {
    moveBody(one, glm::vec3(-3.4f, -0.1f, 0));
    moveBody(two, glm::vec3(3.4f, -0.1f, 0));
    moveBody(box, glm::vec3(0, 2, 0));
    run(1);
    EXPECT_TRUE(one->item && two->item);
    run(1); // the box jumps
    moveBody(box, glm::vec3(600, 5, 0));
    run(2);
    for (int f = 0; f < 3; ++f, run(1)) { // back at 100 every frame, not falling
        EXPECT_GT(box->position.y, 99.9f);
        EXPECT_LT(box->rigidBody->getLinearVelocity().length(), 0.2f);
        EXPECT_NEAR(box->position.x, 600.0f, 0.01f);
    }
}

TEST_F(ItemTest, MineArmsAfterMoreThanASecondExplodesOnceUnderItsOwnCarAndFallsOffSilently) {
    Engine::Mine spare(nullptr);
    spare.armTimer = 1.0f;
    spare.update(0.0f);
    EXPECT_FALSE(spare.armed); // exactly 1.0 is not more than the delay
    auto* mine = new Engine::Mine(one);
    one->item = mine;
    fire(); // dropped onto its own car's roof
    ASSERT_EQ(all<Engine::Mine>().size(), 1u);
    for (int f = 0; f < 120 && !mine->armed; ++f) {
        const float before = mine->armTimer;
        run(1);
        EXPECT_TRUE(mine->armed ? before > 1.0f : all<Engine::ExplosionHalo>().empty()) << before;
    }
    ASSERT_NE(runUntilExplosion(5), nullptr);
    runUntilExplosion(10);
    EXPECT_EQ(explosions.size(), 1u);
    EXPECT_TRUE(all<Engine::Mine>().empty());
    const std::string log = dir->read("qelm.log");
    EXPECT_TRUE(log.find("Mine Exploded\n") != std::string::npos && log.find("Mine Exploded\n") == log.rfind("Mine Exploded\n"));

    auto* falling = new Engine::Mine(nullptr);
    falling->setPosition(glm::vec3(200, -90, 0));
    level->addActor(falling);
    EXPECT_EQ(runUntilExplosion(120), nullptr);
    EXPECT_TRUE(all<Engine::Mine>().empty());
}

TEST_F(ItemTest, RocketFliesTiltedWithoutGravityAndExplodesOnceAtTheLineDroppingItsTrail) {
    auto* rocket = new Engine::Rocket(one);
    rocket->rotationAxis = glm::vec3(1, 0, 0);
    rocket->rotationAngle = -10.0f; // nose up
    rocket->setPosition(glm::vec3(-100, 30, -100));
    rocket->use(level->world.get());
    run(40);
    const btVector3 v = rocket->rigidBody->getLinearVelocity().normalized();
    EXPECT_GT(v.dot(btVector3(0, std::sin(glm::radians(10.0f)), std::cos(glm::radians(10.0f)))), 0.9999f);
    ASSERT_NE(rocket->smokeTrail, nullptr);
    moveBody(rocket, glm::vec3(-100, 30, 600));
    run(2); // the rocket, then its sphere, take the new place
    level->update(2.5f); // the sphere goes off; the spent trail goes in this long frame
    EXPECT_TRUE(rocket->exploded && !rocket->smokeTrail && level->emitters.empty());
    Engine::ExplosionHalo* blast = runUntilExplosion(1);
    ASSERT_NE(blast, nullptr);
    EXPECT_GT(blast->position.z, 500.0f);
    runUntilExplosion(5); // its own explosion touching its sphere does not set it off again
    EXPECT_EQ(explosions.size(), 1u);
    EXPECT_TRUE(all<Engine::Rocket>().empty() && all<Engine::RocketProximityHalo>().empty());
}

TEST_F(ItemTest, RocketPassesItsOwnCarAndTheTableAndHitsTheOtherCarAtLongRange) {
    for (float range : {120.0f, 135.0f, 150.0f, 165.0f, 180.0f, 195.0f, 200.0f, 205.0f}) {
        restartScene();
        build(range);
        if (range == 200.0f) { // player 1 picks the rocket up from the box first
            ASSERT_TRUE(seedFor(10)); // the draw gives a rocket
            hold(glfw2::KEY_UP);
            for (int f = 0; f < 120 && !one->item; ++f) run(1);
            hold(glfw2::KEY_UP, false);
            ASSERT_NE(dynamic_cast<Engine::Rocket*>(one->item), nullptr);
        } else {
            level->removeActor(box); // out of the rocket's way
            one->item = new Engine::Rocket(one);
        }
        fire();
        EXPECT_EQ(one->item, nullptr);
        Engine::ExplosionHalo* hit = runUntilExplosion(90);
        ASSERT_NE(hit, nullptr) << range;
        EXPECT_NEAR(hit->position.z, two->position.z, 15.0f) << range;
        run(4);
        EXPECT_GT(speedOf(*two), 20.0f) << range;
    }
}

TEST_F(ItemTest, ExplosionRecordsMovableBodiesOnceAndPushesOnItsThirdUpdateOnly) {
    const glm::vec3 c = two->position + glm::vec3(3, 0, 0);
    auto* mine = new Engine::Mine(nullptr);
    mine->setPosition(two->position + glm::vec3(0, 1, 7));
    level->addActor(mine);
    run(1);
    Engine::ExplosionHalo* pair[2];
    for (auto*& e : pair) level->addActor(e = new Engine::ExplosionHalo(30.0f, 600000.0f, c));
    const glm::vec3 firstContact = two->position;
    run(1);
    for (Engine::ExplosionHalo* e : pair) { // not the table, the mine, the box or the other sphere
        ASSERT_EQ(e->hits.size(), 1u);
        EXPECT_EQ(e->hits[0].actor, two);
    }
    const btVector3 force = pair[0]->hits[0].force;
    const glm::vec3 d = glm::normalize(glm::vec3(firstContact.x - c.x, 1.0f, firstContact.z - c.z)) * 1e6f;
    EXPECT_LT((force - btVector3(d.x, d.y, d.z)).length(), 1e3f);
    EXPECT_TRUE(played(explodeSound));
    const size_t flames = all<Engine::FlameParticle>().size(), smokes = all<Engine::SmokeParticle>().size();
    EXPECT_EQ(flames, 3 * smokes);
    EXPECT_GE(smokes, 6u); // each sphere touches at least the table, the car and the mine
    run(1);
    EXPECT_EQ(pair[0]->hits[0].force, force); // the first contact's push
    EXPECT_LT(speedOf(*two), 1.0f);
    run(1);
    EXPECT_GT(speedOf(*two), 200.0f); // both pushes, about 128 each
    EXPECT_LT(speedOf(*mine), 5.0f);
    run(1);
    EXPECT_TRUE(all<Engine::ExplosionHalo>().empty());

    restartScene(); // a push in a frame without a physics sub-step is lost
    build();
    level->addActor(new Engine::ExplosionHalo(30.0f, 600000.0f, two->position + glm::vec3(3, 0, 0)));
    run(2);
    level->update(0.001f);
    run(3);
    EXPECT_LT(speedOf(*two), 2.0f);
}

TEST_F(ItemTest, CarHearsNoCrashFromABoxAPowerUpItemOrARocket) {
    Engine::EpicMode epic(one);
    Engine::Rocket rocket(one);
    one->startEpicMode();
    one->crashTimer = 10.0f;
    for (Engine::Actor* other : std::initializer_list<Engine::Actor*>{box, &epic, &rocket}) {
        one->onCollision(other);
        EXPECT_FALSE(played(hitSoftSound));
        EXPECT_TRUE(one->crashTimer == 10.0f && one->epic);
    }
}

TEST_F(ItemTest, OwnerRemovedCarResetWithAnItemOrLevelTornDownMidFlightLeaveNothingDangling) {
    one->item = new Engine::Rocket(one);
    fire();
    auto* rocket = all<Engine::Rocket>().at(0);
    two->item = new Engine::Mine(two);
    run(5);
    level->removeActor(one);
    EXPECT_EQ(rocket->owner, nullptr);
    moveBody(two, glm::vec3(300, 5, 0));
    run(3);
    EXPECT_EQ(two->item, nullptr); // released with the reset
    ASSERT_FALSE(all<Engine::RocketProximityHalo>().empty()); // still in flight
    testing::internal::CaptureStdout();
    level.reset();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("PickupMarker destroyed"), std::string::npos);
}

TEST_F(ItemTest, ItemsWithoutMeshesTakeTheShippedSizes) {
    restartScene(false);
    Vehicles::Car* car = addCar(glm::vec3(0, 2, 0));
    std::unique_ptr<Engine::Actor> made[] = {std::make_unique<Engine::EpicMode>(car),
        std::make_unique<Engine::Mine>(car), std::make_unique<Engine::Rocket>(car),
        std::make_unique<Engine::PickupMarker>()};
    const btVector3 halves[] = {{0.4f, 0.4f, 0.75f}, {1.678f, 2, 1.678f}, {0.3f, 0.3f, 1.5f}, {2, 2, 2}};
    for (int i = 0; i < 4; ++i) {
        const btVector3 half = static_cast<btBoxShape*>(made[i]->collisionShape)->getHalfExtentsWithMargin();
        EXPECT_LT((half - halves[i]).length(), 0.01f) << i;
    }
    Engine::RocketProximityHalo fuse(static_cast<Engine::Rocket*>(made[2].get()));
    EXPECT_FLOAT_EQ(static_cast<btSphereShape*>(fuse.collisionShape)->getRadius(), 1.8f);
}

using ParticleTest = testsupport::LevelTestBase;

long usedSlots(const Engine::ParticleEmitter& e) {
    return std::count_if(e.particles.begin(), e.particles.end(), [](const auto& p) { return p != nullptr; });
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

} // namespace
