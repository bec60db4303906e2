// The level's frame: removal timing, physics steps, collision dispatch,
// deletion, drawing, and the players' keys and joysticks.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/Level.h"
#include "game/Car.h"
#include "game/Item.h"
#include "game/ParticleEmitter.h"
#include "tests/support/LevelTestBase.h"
#include "tests/support/RecordingActor.h"

using testsupport::Journal;
using testsupport::RecordingActor;

namespace {

using Events = std::vector<std::string>;
using Viewport = std::vector<int>;

void flagSelf(RecordingActor& self) { self.removeRequested = true; }

// An emitter without particles that records "<name>.update", ".render" and ".deleted".
struct RecordingEmitter : Engine::ParticleEmitter {
    RecordingEmitter(Journal& journal, std::string name) : journal(journal), name(std::move(name)) {}
    ~RecordingEmitter() override { journal.add(name + ".deleted"); }
    void update(float dt) override {
        journal.add(name + ".update");
        ParticleEmitter::update(dt);
    }
    void render(Engine::Camera*, const glm::vec4&, const Light&, bool) override { journal.add(name + ".render"); }
    Journal& journal;
    std::string name;
};

// Records its uses and stays with its car.
struct RecordingItem : Engine::Item {
    RecordingItem(Journal& journal, std::string name) : journal(journal), name(std::move(name)) {}
    bool use(btDynamicsWorld*) override {
        journal.add(name + ".useItem");
        return true;
    }
    Journal& journal;
    std::string name;
};

// An actor listed before the cars: its update sees the frame's requests
// before the cars act on them and clear them.
struct Probe : Engine::Actor {
    void update(float) override { onUpdate(); }
    std::function<void()> onUpdate;
};

class LevelTest : public testsupport::LevelTestBase {
protected:
    void SetUp() override {
        LevelTestBase::SetUp();
        level = std::make_unique<Engine::Level>();
    }
    void TearDown() override {
        level.reset();
        LevelTestBase::TearDown();
    }
    // An actor, or a HUD element (no body).
    RecordingActor* add(const std::string& name, glm::vec3 at = glm::vec3(0.0f), float mass = 1.0f, bool hud = false) {
        auto* actor = new RecordingActor(journal, name, at, mass, !hud);
        hud ? level->addHUDElement(actor) : level->addActor(actor);
        return actor;
    }
    // A falling box `name` at x resting on a static box `other` just above
    // it: they touch from the first step on. The first listens to collisions.
    std::pair<RecordingActor*, RecordingActor*> addPair(const std::string& name, const std::string& other, float x = 0) {
        auto* a = add(name, glm::vec3(x, 0, 0));
        a->wantsCollisionEvents = true;
        return {a, add(other, glm::vec3(x, 0.5f, 0), 0.0f)};
    }
    int deleted(const std::string& name) { return journal.count(name + ".deleted"); }
    void restart(const std::string& config) {
        level.reset();
        writeConfig(config);
        level = std::make_unique<Engine::Level>();
    }
    // A level with two real cars, "one" and "two", whose items record their use.
    void start(const std::string& config) {
        restart(config);
        auto* probe = new Probe();
        probe->onUpdate = [this] { recordRequests(); };
        level->addActor(probe);
        for (const char* name : {"one", "two"}) {
            cars.push_back(new Vehicles::Car("meshes/car/car.obj"));
            cars.back()->item = new RecordingItem(journal, name);
            level->addVehicle(cars.back());
            names.push_back(name);
        }
    }
    // "<name>:" then A (accelerate), B (brake), L or R (steered left or right)
    // for every car in order; the wheels are set straight for the next frame.
    void recordRequests() {
        for (size_t i = 0; i < cars.size(); ++i) {
            const Vehicles::Car& car = *cars[i];
            journal.add(names[i] + ":" + (car.accelerating ? "A" : "") + (car.braking ? "B" : "") +
                        (car.steering > 0.0f ? "L" : car.steering < 0.0f ? "R" : ""));
            cars[i]->steering = 0.0f;
        }
    }
    Events frame() {
        journal.events.clear();
        level->update(0.02f);
        return journal.events;
    }
    static void setJoy(int joy, std::vector<unsigned char> buttons, std::vector<float> axes = {0.0f, 0.0f}) {
        glfw2::seam::setJoystick(joy, int(axes.size()), axes.data(), int(buttons.size()), buttons.data());
    }
    Journal journal;
    std::unique_ptr<Engine::Level> level;
    std::vector<Vehicles::Car*> cars;
    std::vector<std::string> names;
};

TEST_F(LevelTest, ActorFlaggedInItsUpdateIsDrawnThatFrameAndDeletedAtTheNextStart) {
    add("keep", glm::vec3(20, 0, 0));
    RecordingActor* gone = add("gone");
    gone->onUpdateHook = add("hud", glm::vec3(0.0f), 0.0f, true)->onUpdateHook = flagSelf;
    level->addCamera(new Engine::Camera(0, 0, 256, 256));
    level->setHUDCamera(new Engine::HUDCamera(0, 0, 256, 256));
    level->update(0.02f);
    EXPECT_EQ(level->removalQueue.size(), 2u);
    level->render(true);
    EXPECT_EQ(journal.count("gone.render") + journal.count("hud.render"), 2);
    EXPECT_EQ(deleted("gone") + deleted("hud"), 0);
    journal.events.clear();
    level->update(0.02f);
    ASSERT_EQ(deleted("gone") + deleted("hud"), 2);
    EXPECT_EQ(journal.count("gone.bodyInWorld"), 0) << "body still in the world when deleted";
    EXPECT_LT(journal.indexOf("gone.deleted"), journal.indexOf("keep.update"));
    EXPECT_TRUE(level->removalQueue.empty() && level->hudElements.empty());
    EXPECT_EQ(level->world->getNumCollisionObjects(), 1);
}

TEST_F(LevelTest, ActorsFlaggedOrRemovedInACollisionHandlerGoAFrameLater) {
    RecordingActor* a = addPair("a", "b").first;
    a->onCollisionHook = flagSelf;
    level->update(0.02f); // the step's dispatch flags a
    ASSERT_GE(journal.count("a.hit:b"), 1);
    level->update(0.02f); // queued after its update
    EXPECT_EQ(deleted("a"), 0);
    level->update(0.02f); // removed at the start
    EXPECT_EQ(deleted("a"), 1);
    EXPECT_EQ(journal.count("a.bodyInWorld"), 0);

    // Whichever hears first removes every actor: the walk goes on over live
    // actors, and they go at the start of the next update.
    level->update(0.02f);
    journal.events.clear();
    addPair("c", "d", 30.0f);
    bool done = false;
    for (Engine::Actor* actor : level->actors) {
        static_cast<RecordingActor*>(actor)->wantsCollisionEvents = true;
        static_cast<RecordingActor*>(actor)->onCollisionHook = [this, &done](RecordingActor&) {
            if (done) return;
            done = true;
            for (Engine::Actor* victim : std::vector<Engine::Actor*>(level->actors.begin(), level->actors.end()))
                level->removeActor(victim);
        };
    }
    level->update(0.02f);
    EXPECT_TRUE(done);
    EXPECT_EQ(deleted("b") + deleted("c") + deleted("d"), 0);
    EXPECT_EQ(level->removalQueue.size(), 3u);
    level->update(0.02f);
    EXPECT_TRUE(level->actors.empty());
    EXPECT_EQ(level->world->getNumCollisionObjects(), 0);
    for (const char* name : {"b", "c", "d"}) EXPECT_EQ(deleted(name), 1) << name;
}

TEST_F(LevelTest, SpentEmittersGoOnePerFrameTheLaterFirst) {
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
    ASSERT_EQ(level->emitters.size(), 1u);
    EXPECT_EQ(level->emitters.front(), emitters[2]);
}

TEST_F(LevelTest, ShortFramesMayStepNothingAndLongFramesStepOnce) {
    addPair("a", "b");
    RecordingActor* faller = add("faller", glm::vec3(50, 0, 0));
    level->update(0.01f);
    EXPECT_EQ(journal.count("a.hit:b"), 0) << "no step yet";
    level->update(0.01f); // 0.02 s have gathered: one step
    EXPECT_EQ(journal.count("a.hit:b"), 1);
    const float before = faller->rigidBody->getLinearVelocity().y();
    level->update(1.0f);
    EXPECT_EQ(journal.count("a.hit:b"), 2);
    EXPECT_NEAR(faller->rigidBody->getLinearVelocity().y() - before, -10.0f / 60.0f, 1e-3f);
}

TEST_F(LevelTest, DispatchCallsOnlyFlaggedActorsFirstBodyFirstAndSkipsStrangers) {
    auto [a, b] = addPair("a", "b");
    add("lone", glm::vec3(40, 0, 0))->wantsCollisionEvents = true;
    // A body of no actor touching `lone`, taken out before the level goes.
    struct Stranger {
        btBoxShape shape{btVector3(1, 1, 1)};
        btRigidBody body{0.0f, nullptr, &shape};
        btDynamicsWorld* world;
        explicit Stranger(btDynamicsWorld* w) : world(w) {}
        ~Stranger() { world->removeRigidBody(&body); }
    } stranger(level->world.get());
    stranger.body.getWorldTransform().setOrigin(btVector3(40, 0.5f, 0));
    level->world->addRigidBody(&stranger.body);
    level->update(0.02f);
    EXPECT_EQ(level->dispatcher->getNumManifolds(), 2);
    EXPECT_EQ(journal.count("a.hit:b"), 1);
    EXPECT_EQ(journal.count("b.hit:a") + journal.count("lone.hit:?"), 0);
    // Both flagged: the manifold's first body hears first.
    b->wantsCollisionEvents = true;
    journal.events.clear();
    level->update(0.02f);
    bool aFirst = false;
    for (int i = 0; i < level->dispatcher->getNumManifolds(); ++i)
        aFirst |= level->dispatcher->getManifoldByIndexInternal(i)->getBody0()->getUserPointer() == a;
    EXPECT_EQ(journal.indexOf("b.hit:a") - journal.indexOf("a.hit:b"), aFirst ? 1 : -1);
}

TEST_F(LevelTest, DestructorDeletesEverythingOnce) {
    add("queued", glm::vec3(10, 0, 0))->onUpdateHook = flagSelf;
    add("plain", glm::vec3(20, 0, 0));
    add("hud", glm::vec3(0.0f), 0.0f, true);
    level->addEmitter(new RecordingEmitter(journal, "smoke"));
    auto* camera = new Engine::Camera(0, 0, 256, 256);
    level->addCamera(camera);
    level->setHUDCamera(camera); // the same camera twice is deleted once
    level->update(0.02f);
    ASSERT_EQ(level->removalQueue.size(), 1u);
    level.reset();
    for (const char* name : {"queued", "plain", "hud", "smoke"}) EXPECT_EQ(deleted(name), 1) << name;
    EXPECT_EQ(journal.count("queued.bodyInWorld") + journal.count("plain.bodyInWorld"), 0);
}

TEST_F(LevelTest, EachCameraDrawsActorsThenEmittersThenTheHudPassThenClears) {
    restart("width = 640\nheight = 480\n");
    RecordingActor* a = add("a");
    add("b", glm::vec3(5, 0, 0));
    level->addEmitter(new RecordingEmitter(journal, "e"));
    RecordingActor* hud = add("hud", glm::vec3(0.0f), 0.0f, true);
    level->addCamera(new Engine::Camera(0, 128, 256, 128));
    level->addCamera(new Engine::Camera(0, 0, 256, 128));
    level->setHUDCamera(new Engine::HUDCamera(10, 20, 200, 100));
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    level->render(true);
    EXPECT_EQ(journal.events, (Events{"a.render", "b.render", "e.render", "a.render", "b.render", "e.render", "hud.render"}));
    EXPECT_EQ(a->viewports, (std::vector<Viewport>{{0, 128, 256, 128}, {0, 0, 256, 128}}));
    EXPECT_EQ(hud->viewports, (std::vector<Viewport>{{10, 20, 200, 100}}));
    Viewport v(4, 0);
    glGetIntegerv(GL_VIEWPORT, v.data());
    EXPECT_EQ(v, (Viewport{0, 0, 640, 480})) << "the window's";
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(100, 100, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(glm::ivec2(pixel[0], pixel[2]), glm::ivec2(0, 255)) << "the back buffer is cleared after the swap";
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, 256, 256);
}

TEST_F(LevelTest, KeyboardPlayerTwoFirstInTheControlsOrderBeforeTheActors) {
    start("p_1_up = key_up\np_1_down = key_down\np_1_left = key_left\np_1_right = key_right\n"
          "p_1_fire = key_rctrl\np_2_up = key_w\np_2_down = key_s\np_2_left = key_a\np_2_right = key_d\n"
          "p_2_fire = key_space\n");
    const auto hold = [](std::initializer_list<int> keys) {
        for (int key = 0; key <= glfw2::KEY_LAST; ++key) glfw2::seam::setKey(key, false);
        for (int key : keys) glfw2::seam::setKey(key, true);
    };
    hold({glfw2::KEY_UP, glfw2::KEY_DOWN, glfw2::KEY_LEFT, glfw2::KEY_RIGHT, glfw2::KEY_RCTRL, 'W', 'S', 'A', 'D',
          glfw2::KEY_SPACE});
    // Left and right together cancel out.
    const Events all = {"two.useItem", "one.useItem", "one:AB", "two:AB"};
    EXPECT_EQ(frame(), all);
    EXPECT_EQ(frame(), all) << "held controls act once per frame, every frame";
    hold({glfw2::KEY_LEFT, 'S'});
    EXPECT_EQ(frame(), (Events{"one:L", "two:B"}));
    hold({glfw2::KEY_RIGHT, 'S'});
    EXPECT_EQ(frame(), (Events{"one:R", "two:B"}));
}

TEST_F(LevelTest, JoystickButtonsAxesAndAMissingBindingAsButtonZero) {
    start("p_1 = joy_0\np_1_up = joy_0_0\np_1_down = joy_0_1\np_1_left = joy_0_2\np_1_fire = joy_0_4\n"
          "p_2 = joy_1\np_2_up = joy_1_up\np_2_down = joy_1_down\np_2_left = joy_1_left\n"
          "p_2_right = joy_1_right\np_2_fire = joy_1_2\n");
    // Player 1's right is unbound: button 0, like up.
    setJoy(0, {1, 1, 1, 0, 1});
    setJoy(1, {0, 0, 0}, {-0.5f, -0.5f}); // as the device reports: y -0.5 is up
    EXPECT_EQ(frame(), (Events{"one.useItem", "one:AB", "two:AL"}));
    setJoy(0, {0, 0, 0, 1, 1});
    setJoy(1, {0, 0, 0}, {0.5f, 0.5f});
    EXPECT_EQ(frame(), (Events{"one.useItem", "one:", "two:BR"}));
    setJoy(0, {0, 0, 1, 0, 0});
    setJoy(1, {0, 0, 0});
    EXPECT_EQ(frame(), (Events{"one:L", "two:"})) << "each player reads their own stick";
}

} // namespace
