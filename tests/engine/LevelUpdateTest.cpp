// The level's frame update: removal timing, emitter removal, physics
// stepping, collision dispatch and what the level deletes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/Level.h"
#include "tests/support/LevelTestBase.h"
#include "tests/support/RecordingActor.h"

using testsupport::Journal;
using testsupport::RecordingActor;
using testsupport::RecordingEmitter;
using testsupport::RecordingVehicle;

namespace {

class LevelUpdateTest : public testsupport::LevelTestBase {
protected:
    bool holds(const Engine::Level& level, Engine::Actor* actor) {
        return std::find(level.actors.begin(), level.actors.end(), actor) != level.actors.end();
    }
    Journal journal;
};

TEST_F(LevelUpdateTest, ActorFlaggedInItsUpdateIsDrawnThatFrameAndDeletedAtTheNextStart) {
    Engine::Level level;
    auto* keep = new RecordingActor(journal, "keep", glm::vec3(20, 0, 0));
    auto* gone = new RecordingActor(journal, "gone");
    gone->onUpdateHook = [](RecordingActor& self) { self.removeRequested = true; };
    level.addActor(keep);
    level.addActor(gone);
    level.addCamera(new Engine::Camera(0, 0, 256, 256));
    ASSERT_EQ(level.world->getNumCollisionObjects(), 2);

    level.update(0.02f);
    EXPECT_EQ(level.removalQueue.size(), 1u);
    EXPECT_TRUE(holds(level, gone));
    EXPECT_EQ(level.world->getNumCollisionObjects(), 2);
    level.render(true);
    EXPECT_EQ(journal.count("gone.render"), 1);
    EXPECT_EQ(journal.count("gone.deleted"), 0);

    journal.events.clear();
    level.update(0.02f);
    ASSERT_EQ(journal.count("gone.deleted"), 1);
    EXPECT_EQ(journal.count("gone.bodyInWorld"), 0) << "body still in the world when deleted";
    EXPECT_EQ(journal.count("gone.update"), 0);
    EXPECT_LT(journal.indexOf("gone.deleted"), journal.indexOf("keep.update"));
    EXPECT_EQ(level.actors.size(), 1u);
    EXPECT_TRUE(level.removalQueue.empty());
    EXPECT_EQ(level.world->getNumCollisionObjects(), 1);
}

TEST_F(LevelUpdateTest, ActorFlaggedInCollisionHandlerGoesOneFrameLater) {
    Engine::Level level;
    auto* a = new RecordingActor(journal, "a", glm::vec3(0, 0, 0), 1.0f);
    auto* b = new RecordingActor(journal, "b", glm::vec3(0, 0.5f, 0), 0.0f);
    a->wantsCollisionEvents = true;
    a->onCollisionHook = [](RecordingActor& self) { self.removeRequested = true; };
    level.addActor(a);
    level.addActor(b);

    level.update(0.02f); // the step's dispatch flags a
    ASSERT_GE(journal.count("a.hit:b"), 1);
    EXPECT_TRUE(level.removalQueue.empty());
    level.update(0.02f); // queued after its update
    EXPECT_EQ(journal.count("a.deleted"), 0);
    EXPECT_EQ(level.removalQueue.size(), 1u);
    level.update(0.02f); // removed at the start
    EXPECT_EQ(journal.count("a.deleted"), 1);
    EXPECT_EQ(journal.count("a.bodyInWorld"), 0);
    EXPECT_FALSE(holds(level, a));
}

TEST_F(LevelUpdateTest, HudElementThatAsksToGoIsTakenOutAndDeletedOnce) {
    Engine::Level level;
    auto* element = new RecordingActor(journal, "hud", glm::vec3(0.0f), 0.0f, false);
    element->onUpdateHook = [](RecordingActor& self) { self.removeRequested = true; };
    level.addHUDElement(element);
    level.setHUDCamera(new Engine::HUDCamera(0, 0, 256, 256));
    level.update(0.02f);
    level.render(true);
    EXPECT_EQ(journal.count("hud.render"), 1);
    level.update(0.02f);
    EXPECT_EQ(journal.count("hud.deleted"), 1);
    EXPECT_TRUE(level.hudElements.empty());
    level.render(true);
    EXPECT_EQ(journal.count("hud.render"), 1);
}

TEST_F(LevelUpdateTest, SpentEmittersGoOnePerFrameTheLaterFirst) {
    Engine::Level level;
    auto* first = new RecordingEmitter(journal, "first");
    auto* second = new RecordingEmitter(journal, "second");
    auto* edge = new RecordingEmitter(journal, "edge");
    for (RecordingEmitter* e : {first, second}) {
        e->emitterLife = 0.5f;
        e->particleLife = 0.25f;
    }
    // Exactly at -particleLife is not yet spent.
    edge->emitterLife = 0.0f;
    edge->particleLife = 1.0f;
    level.addEmitter(first);
    level.addEmitter(second);
    level.addEmitter(edge);

    level.update(1.0f);
    EXPECT_EQ(journal.count("second.deleted"), 1);
    EXPECT_EQ(journal.count("first.deleted"), 0);
    EXPECT_EQ(journal.count("edge.deleted"), 0);
    level.update(0.0f);
    EXPECT_EQ(journal.count("first.deleted"), 1);
    EXPECT_EQ(journal.count("first.update"), 2);
    level.update(0.0f);
    EXPECT_EQ(journal.count("edge.deleted"), 0);
    ASSERT_EQ(level.emitters.size(), 1u);
    EXPECT_EQ(level.emitters.front(), edge);
}

TEST_F(LevelUpdateTest, ShortFramesMayStepNothingAndLongFramesStepOnce) {
    Engine::Level level;
    auto* a = new RecordingActor(journal, "a", glm::vec3(0, 0, 0), 1.0f);
    auto* b = new RecordingActor(journal, "b", glm::vec3(0, 0.5f, 0), 0.0f);
    auto* faller = new RecordingActor(journal, "faller", glm::vec3(50, 0, 0), 1.0f);
    a->wantsCollisionEvents = true;
    level.addActor(a);
    level.addActor(b);
    level.addActor(faller);

    level.update(0.01f);
    EXPECT_EQ(journal.count("a.hit:b"), 0);
    EXPECT_FLOAT_EQ(faller->rigidBody->getLinearVelocity().y(), 0.0f);
    level.update(0.01f); // 0.02 s have gathered: one step
    EXPECT_EQ(journal.count("a.hit:b"), 1);

    const float before = faller->rigidBody->getLinearVelocity().y();
    level.update(1.0f);
    EXPECT_EQ(journal.count("a.hit:b"), 2);
    EXPECT_NEAR(faller->rigidBody->getLinearVelocity().y() - before, -10.0f / 60.0f, 1e-3f);
}

TEST_F(LevelUpdateTest, DispatchCallsOnlyFlaggedActorsFirstBodyFirstAndSkipsStrangers) {
    Engine::Level level;
    auto* a = new RecordingActor(journal, "a", glm::vec3(0, 0, 0), 1.0f);
    auto* b = new RecordingActor(journal, "b", glm::vec3(0, 0.5f, 0), 0.0f);
    auto* lone = new RecordingActor(journal, "lone", glm::vec3(40, 0, 0), 1.0f);
    a->wantsCollisionEvents = true;
    lone->wantsCollisionEvents = true;
    level.addActor(a);
    level.addActor(b);
    level.addActor(lone);
    // A body that belongs to no actor, touching `lone`.
    btBoxShape strangerShape(btVector3(1, 1, 1));
    btRigidBody stranger(0.0f, nullptr, &strangerShape);
    stranger.getWorldTransform().setOrigin(btVector3(40, 0.5f, 0));
    level.world->addRigidBody(&stranger);

    level.update(0.02f);
    EXPECT_EQ(level.dispatcher->getNumManifolds(), 2);
    EXPECT_EQ(journal.count("a.hit:b"), 1);
    EXPECT_EQ(journal.count("b.hit:a"), 0);
    EXPECT_EQ(journal.count("lone.hit:?"), 0);

    // Both flagged: the manifold's first body hears first.
    b->wantsCollisionEvents = true;
    journal.events.clear();
    level.update(0.02f);
    btPersistentManifold* manifold = nullptr;
    for (int i = 0; i < level.dispatcher->getNumManifolds(); ++i) {
        btPersistentManifold* m = level.dispatcher->getManifoldByIndexInternal(i);
        if (m->getBody0()->getUserPointer() == a || m->getBody1()->getUserPointer() == a)
            manifold = m;
    }
    ASSERT_NE(manifold, nullptr);
    const bool aFirst = manifold->getBody0()->getUserPointer() == a;
    const int ia = journal.indexOf("a.hit:b");
    const int ib = journal.indexOf("b.hit:a");
    ASSERT_GE(ia, 0);
    ASSERT_GE(ib, 0);
    EXPECT_EQ(aFirst, ia < ib);
    EXPECT_EQ(std::abs(ia - ib), 1);

    level.world->removeRigidBody(&stranger);
}

TEST_F(LevelUpdateTest, RemovingActorsFromACollisionHandlerWaitsForTheNextFrame) {
    Engine::Level level;
    auto* a = new RecordingActor(journal, "a", glm::vec3(0, 0, 0), 1.0f);
    auto* b = new RecordingActor(journal, "b", glm::vec3(0, 0.5f, 0), 0.0f);
    auto* c = new RecordingActor(journal, "c", glm::vec3(30, 0, 0), 1.0f);
    auto* d = new RecordingActor(journal, "d", glm::vec3(30, 0.5f, 0), 0.0f);
    for (RecordingActor* r : {a, b, c, d}) {
        r->wantsCollisionEvents = true;
        level.addActor(r);
    }
    Engine::Level* owner = &level;
    bool done = false;
    auto dropAll = [owner, &done, a, b, c, d](RecordingActor&) {
        if (done) return;
        done = true;
        for (Engine::Actor* victim : {static_cast<Engine::Actor*>(a), static_cast<Engine::Actor*>(b),
                                      static_cast<Engine::Actor*>(c), static_cast<Engine::Actor*>(d)})
            owner->removeActor(victim);
    };
    // Whichever hears first removes every actor; the walk goes on over live
    // actors and they go at the start of the next update.
    a->onCollisionHook = b->onCollisionHook = c->onCollisionHook = d->onCollisionHook = dropAll;
    level.update(0.02f);
    EXPECT_TRUE(done);
    EXPECT_EQ(journal.count("a.deleted") + journal.count("c.deleted"), 0);
    EXPECT_EQ(journal.count("a.hit:b") + journal.count("c.hit:d"), 2);
    EXPECT_EQ(level.removalQueue.size(), 4u);
    level.update(0.02f);
    EXPECT_TRUE(level.actors.empty());
    EXPECT_EQ(level.world->getNumCollisionObjects(), 0);
    for (const char* name : {"a", "b", "c", "d"})
        EXPECT_EQ(journal.count(std::string(name) + ".deleted"), 1) << name;
}

TEST_F(LevelUpdateTest, DestructorDeletesEverythingOnceAndTheVehicleOnlyOnce) {
    auto level = std::make_unique<Engine::Level>();
    auto* car = new RecordingVehicle(journal, "car");
    car->collisionShape = new btBoxShape(btVector3(1, 1, 1));
    car->mass = 5.0f;
    auto* queued = new RecordingActor(journal, "queued", glm::vec3(10, 0, 0));
    queued->onUpdateHook = [](RecordingActor& self) { self.removeRequested = true; };
    level->addVehicle(car);
    level->addActor(queued);
    level->addActor(new RecordingActor(journal, "plain", glm::vec3(20, 0, 0)));
    level->addHUDElement(new RecordingActor(journal, "hud", glm::vec3(0.0f), 0.0f, false));
    level->addEmitter(new RecordingEmitter(journal, "smoke"));
    auto* camera = new Engine::Camera(0, 0, 256, 256);
    level->addCamera(camera);
    level->setHUDCamera(camera); // the same camera twice is deleted once
    level->update(0.02f);
    ASSERT_EQ(level->removalQueue.size(), 1u);

    level.reset();
    for (const char* name : {"car", "queued", "plain", "hud", "smoke"})
        EXPECT_EQ(journal.count(std::string(name) + ".deleted"), 1) << name;
    EXPECT_EQ(journal.count("queued.bodyInWorld"), 0);
    EXPECT_EQ(journal.count("plain.bodyInWorld"), 0);
}

TEST_F(LevelUpdateTest, RemovedVehicleLeavesItsSlotAndGetsNoMoreInput) {
    writeConfig("p_1_up = key_up\np_2_up = key_w\n");
    Engine::Level level;
    auto* one = new RecordingVehicle(journal, "one");
    auto* two = new RecordingVehicle(journal, "two");
    level.addVehicle(one);
    level.addVehicle(two);
    glfw2::seam::setKey(glfw2::KEY_UP, true);
    glfw2::seam::setKey('W', true);
    level.removeActor(one);
    ASSERT_EQ(level.vehicles.size(), 2u);
    EXPECT_EQ(level.vehicles[0], nullptr);
    level.update(0.02f);
    EXPECT_EQ(journal.count("two.accelerate"), 1);
    EXPECT_EQ(journal.count("one.deleted"), 1);
}

TEST_F(LevelUpdateTest, WorldKnowsItsLevelAndTheLevelItsWindowSize) {
    writeConfig("width = 640\nheight = 480\n");
    Engine::Level level;
    EXPECT_EQ(level.world->getWorldUserInfo(), &level);
    EXPECT_EQ(level.width, 640);
    EXPECT_EQ(level.height, 480);
    EXPECT_FLOAT_EQ(level.world->getGravity().y(), -10.0f);
    const std::string logText = dir->read("qelm.log");
    EXPECT_NE(logText.find("BULLET: initialized\n"), std::string::npos) << logText;
}

} // namespace
