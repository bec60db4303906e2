// The level's frame update: removal timing, emitter removal, physics
// stepping, collision dispatch and what the level deletes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/Level.h"
#include "tests/support/LevelTestBase.h"
#include "tests/support/RecordingActor.h"

using testsupport::Journal;
using testsupport::RecordingActor;
using testsupport::RecordingEmitter;
using testsupport::RecordingCar;

namespace {

void flagSelf(RecordingActor& self) { self.removeRequested = true; }

class LevelUpdateTest : public testsupport::LevelTestBase {
protected:
    bool holds(Engine::Actor* actor) {
        return std::find(level->actors.begin(), level->actors.end(), actor) != level->actors.end();
    }
    // A falling box `name` at x resting on a static box `other` just above
    // it: they touch from the first step on. The first listens to collisions.
    std::pair<RecordingActor*, RecordingActor*> addPair(const std::string& name, const std::string& other,
                                                        float x = 0.0f) {
        auto* a = new RecordingActor(journal, name, glm::vec3(x, 0, 0), 1.0f);
        auto* b = new RecordingActor(journal, other, glm::vec3(x, 0.5f, 0), 0.0f);
        a->wantsCollisionEvents = true;
        level->addActor(a);
        level->addActor(b);
        return {a, b};
    }
    int deleted(const std::string& name) { return journal.count(name + ".deleted"); }
    void SetUp() override {
        LevelTestBase::SetUp();
        level = std::make_unique<Engine::Level>();
    }
    void TearDown() override {
        level.reset();
        LevelTestBase::TearDown();
    }
    // A fresh level reading the given configuration.
    void restart(const std::string& config) {
        level.reset();
        writeConfig(config);
        level = std::make_unique<Engine::Level>();
    }
    Journal journal;
    std::unique_ptr<Engine::Level> level;
};

TEST_F(LevelUpdateTest, ActorFlaggedInItsUpdateIsDrawnThatFrameAndDeletedAtTheNextStart) {
    auto* gone = new RecordingActor(journal, "gone");
    auto* hud = new RecordingActor(journal, "hud", glm::vec3(0.0f), 0.0f, false);
    gone->onUpdateHook = hud->onUpdateHook = flagSelf;
    level->addActor(new RecordingActor(journal, "keep", glm::vec3(20, 0, 0)));
    level->addActor(gone);
    level->addHUDElement(hud);
    level->addCamera(new Engine::Camera(0, 0, 256, 256));
    level->setHUDCamera(new Engine::HUDCamera(0, 0, 256, 256));

    level->update(0.02f);
    EXPECT_EQ(level->removalQueue.size(), 2u);
    EXPECT_TRUE(holds(gone));
    EXPECT_EQ(level->world->getNumCollisionObjects(), 2);
    level->render(true);
    EXPECT_EQ(journal.count("gone.render") + journal.count("hud.render"), 2);
    EXPECT_EQ(deleted("gone") + deleted("hud"), 0);

    journal.events.clear();
    level->update(0.02f);
    ASSERT_EQ(deleted("gone"), 1);
    EXPECT_EQ(journal.count("gone.bodyInWorld"), 0) << "body still in the world when deleted";
    EXPECT_EQ(journal.count("gone.update"), 0);
    EXPECT_LT(journal.indexOf("gone.deleted"), journal.indexOf("keep.update"));
    EXPECT_EQ(level->actors.size(), 1u);
    EXPECT_TRUE(level->removalQueue.empty());
    EXPECT_EQ(level->world->getNumCollisionObjects(), 1);
    EXPECT_EQ(deleted("hud"), 1);
    EXPECT_TRUE(level->hudElements.empty());
    level->render(true);
    EXPECT_EQ(journal.count("hud.render"), 0);
}

TEST_F(LevelUpdateTest, ActorFlaggedInCollisionHandlerGoesOneFrameLater) {
    RecordingActor* a = addPair("a", "b").first;
    a->onCollisionHook = flagSelf;
    level->update(0.02f); // the step's dispatch flags a
    ASSERT_GE(journal.count("a.hit:b"), 1);
    EXPECT_TRUE(level->removalQueue.empty());
    level->update(0.02f); // queued after its update
    EXPECT_EQ(deleted("a"), 0);
    EXPECT_EQ(level->removalQueue.size(), 1u);
    level->update(0.02f); // removed at the start
    EXPECT_EQ(deleted("a"), 1);
    EXPECT_EQ(journal.count("a.bodyInWorld"), 0);
    EXPECT_FALSE(holds(a));
}

TEST_F(LevelUpdateTest, SpentEmittersGoOnePerFrameTheLaterFirst) {
    RecordingEmitter* emitters[3];
    const char* names[3] = {"first", "second", "edge"};
    for (int i = 0; i < 3; ++i) {
        emitters[i] = new RecordingEmitter(journal, names[i]);
        emitters[i]->emitterLife = i < 2 ? 0.5f : 0.0f;
        emitters[i]->particleLife = i < 2 ? 0.25f : 1.0f; // edge: exactly at -particleLife is not spent
        level->addEmitter(emitters[i]);
    }
    level->update(1.0f);
    EXPECT_EQ(deleted("second"), 1);
    EXPECT_EQ(deleted("first"), 0);
    level->update(0.0f);
    EXPECT_EQ(deleted("first"), 1);
    EXPECT_EQ(journal.count("first.update"), 2);
    level->update(0.0f);
    EXPECT_EQ(deleted("edge"), 0);
    ASSERT_EQ(level->emitters.size(), 1u);
    EXPECT_EQ(level->emitters.front(), emitters[2]);
}

TEST_F(LevelUpdateTest, ShortFramesMayStepNothingAndLongFramesStepOnce) {
    addPair("a", "b");
    auto* faller = new RecordingActor(journal, "faller", glm::vec3(50, 0, 0), 1.0f);
    level->addActor(faller);
    level->update(0.01f);
    EXPECT_EQ(journal.count("a.hit:b"), 0);
    EXPECT_FLOAT_EQ(faller->rigidBody->getLinearVelocity().y(), 0.0f);
    level->update(0.01f); // 0.02 s have gathered: one step
    EXPECT_EQ(journal.count("a.hit:b"), 1);
    const float before = faller->rigidBody->getLinearVelocity().y();
    level->update(1.0f);
    EXPECT_EQ(journal.count("a.hit:b"), 2);
    EXPECT_NEAR(faller->rigidBody->getLinearVelocity().y() - before, -10.0f / 60.0f, 1e-3f);
}

TEST_F(LevelUpdateTest, DispatchCallsOnlyFlaggedActorsFirstBodyFirstAndSkipsStrangers) {
    auto [a, b] = addPair("a", "b");
    auto* lone = new RecordingActor(journal, "lone", glm::vec3(40, 0, 0), 1.0f);
    lone->wantsCollisionEvents = true;
    level->addActor(lone);
    // A body that belongs to no actor, touching `lone`.
    btBoxShape strangerShape(btVector3(1, 1, 1));
    btRigidBody stranger(0.0f, nullptr, &strangerShape);
    stranger.getWorldTransform().setOrigin(btVector3(40, 0.5f, 0));
    level->world->addRigidBody(&stranger);

    level->update(0.02f);
    EXPECT_EQ(level->dispatcher->getNumManifolds(), 2);
    EXPECT_EQ(journal.count("a.hit:b"), 1);
    EXPECT_EQ(journal.count("b.hit:a") + journal.count("lone.hit:?"), 0);

    // Both flagged: the manifold's first body hears first.
    b->wantsCollisionEvents = true;
    journal.events.clear();
    level->update(0.02f);
    const btPersistentManifold* manifold = nullptr;
    for (int i = 0; i < level->dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* m = level->dispatcher->getManifoldByIndexInternal(i);
        if (m->getBody0()->getUserPointer() == a || m->getBody1()->getUserPointer() == a) manifold = m;
    }
    ASSERT_NE(manifold, nullptr);
    const bool aFirst = manifold->getBody0()->getUserPointer() == a;
    const int ia = journal.indexOf("a.hit:b"), ib = journal.indexOf("b.hit:a");
    ASSERT_GE(ia, 0);
    ASSERT_GE(ib, 0);
    EXPECT_EQ(ib - ia, aFirst ? 1 : -1);
    level->world->removeRigidBody(&stranger);
}

TEST_F(LevelUpdateTest, RemovingActorsFromACollisionHandlerWaitsForTheNextFrame) {
    addPair("a", "b");
    addPair("c", "d", 30.0f);
    bool done = false;
    // Whichever hears first removes every actor; the walk goes on over live
    // actors and they go at the start of the next update.
    for (Engine::Actor* actor : level->actors) {
        auto* r = static_cast<RecordingActor*>(actor);
        r->wantsCollisionEvents = true;
        r->onCollisionHook = [this, &done](RecordingActor&) {
            if (done) return;
            done = true;
            const std::vector<Engine::Actor*> all(level->actors.begin(), level->actors.end());
            for (Engine::Actor* victim : all) level->removeActor(victim);
        };
    }
    level->update(0.02f);
    EXPECT_TRUE(done);
    EXPECT_EQ(deleted("a") + deleted("c"), 0);
    EXPECT_EQ(journal.count("a.hit:b") + journal.count("c.hit:d"), 2);
    EXPECT_EQ(level->removalQueue.size(), 4u);
    level->update(0.02f);
    EXPECT_TRUE(level->actors.empty());
    EXPECT_EQ(level->world->getNumCollisionObjects(), 0);
    for (const char* name : {"a", "b", "c", "d"}) EXPECT_EQ(deleted(name), 1) << name;
}

TEST_F(LevelUpdateTest, DestructorDeletesEverythingOnceAndTheVehicleOnlyOnce) {
    auto* car = new RecordingCar(journal, "car");
    auto* queued = new RecordingActor(journal, "queued", glm::vec3(10, 0, 0));
    queued->onUpdateHook = flagSelf;
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
    for (const char* name : {"car", "queued", "plain", "hud", "smoke"}) EXPECT_EQ(deleted(name), 1) << name;
    EXPECT_EQ(journal.count("queued.bodyInWorld") + journal.count("plain.bodyInWorld") +
                  journal.count("car.partsInWorld"),
              0);
}

TEST_F(LevelUpdateTest, RemovedVehicleLeavesItsSlotAndGetsNoMoreInput) {
    restart("p_1_up = key_up\np_2_up = key_w\n");
    auto* one = new RecordingCar(journal, "one");
    auto* two = new RecordingCar(journal, "two");
    level->addVehicle(one);
    level->addVehicle(two);
    glfw2::seam::setKey(glfw2::KEY_UP, true);
    glfw2::seam::setKey('W', true);
    level->removeActor(one);
    ASSERT_EQ(level->vehicles.size(), 2u);
    EXPECT_EQ(level->vehicles[0], nullptr);
    level->update(0.02f);
    EXPECT_FLOAT_EQ(two->raycastVehicle->getWheelInfo(2).m_engineForce, two->engineForce);
    EXPECT_EQ(deleted("one"), 1);
    EXPECT_EQ(journal.count("one.partsInWorld"), 0);
}

TEST_F(LevelUpdateTest, WorldKnowsItsLevelAndTheLevelItsWindowSize) {
    restart("width = 640\nheight = 480\n");
    EXPECT_EQ(level->world->getWorldUserInfo(), level.get());
    EXPECT_EQ(level->width, 640);
    EXPECT_EQ(level->height, 480);
    EXPECT_FLOAT_EQ(level->world->getGravity().y(), -10.0f);
    const std::string logText = dir->read("qelm.log");
    EXPECT_NE(logText.find("BULLET: initialized\n"), std::string::npos) << logText;
}

} // namespace
