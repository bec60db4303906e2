// The level's mapping of keys and joysticks to the players' vehicles.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Level.h"
#include "game/Car.h"
#include "game/Item.h"
#include "tests/support/LevelTestBase.h"
#include "tests/support/RecordingActor.h"

namespace {

using Events = std::vector<std::string>;

// Records its uses and stays with its car.
struct RecordingItem : Engine::Item {
    RecordingItem(testsupport::Journal& journal, std::string name) : journal(journal), name(std::move(name)) {}
    bool use(btDynamicsWorld*) override {
        journal.add(name + ".useItem");
        return true;
    }
    testsupport::Journal& journal;
    std::string name;
};

// An actor listed before the cars: its update sees the frame's requests
// before the cars act on them and clear them.
struct Probe : Engine::Actor {
    void update(float) override { onUpdate(); }
    std::function<void()> onUpdate;
};

class LevelInputTest : public testsupport::LevelTestBase {
protected:
    void TearDown() override {
        level.reset();
        LevelTestBase::TearDown();
    }
    // A level reading the configuration, with one real car per name, each
    // carrying an item that records its use.
    void start(const std::string& config, std::vector<const char*> carNames = {"one", "two"}) {
        writeConfig(config);
        level = std::make_unique<Engine::Level>();
        auto* probe = new Probe();
        probe->onUpdate = [this] { recordRequests(); };
        level->addActor(probe);
        for (const char* name : carNames) {
            cars.push_back(new Vehicles::Car("meshes/car/car.obj"));
            cars.back()->item = new RecordingItem(journal, name);
            level->addVehicle(cars.back());
            names.push_back(name);
        }
        steeringBefore.assign(cars.size(), 0.0f);
    }
    // "<name>:" followed by A (accelerate), B (brake), L or R (steered left
    // or right this frame), for every car in order.
    void recordRequests() {
        for (size_t i = 0; i < cars.size(); ++i) {
            std::string requests = names[i] + ":";
            if (cars[i]->accelerating) requests += "A";
            if (cars[i]->braking) requests += "B";
            if (cars[i]->steering > steeringBefore[i]) requests += "L";
            if (cars[i]->steering < steeringBefore[i]) requests += "R";
            journal.add(requests);
        }
    }
    Events frame() {
        journal.events.clear();
        level->update(0.02f);
        for (size_t i = 0; i < cars.size(); ++i) steeringBefore[i] = cars[i]->steering;
        return journal.events;
    }
    static void setJoy(int joy, std::vector<unsigned char> buttons, std::vector<float> axes = {0.0f, 0.0f}) {
        glfw2::seam::setJoystick(joy, int(axes.size()), axes.data(), int(buttons.size()), buttons.data());
    }
    testsupport::Journal journal;
    std::unique_ptr<Engine::Level> level;
    std::vector<Vehicles::Car*> cars;
    std::vector<std::string> names;
    std::vector<float> steeringBefore;
};

TEST_F(LevelInputTest, KeyboardPlayerTwoFirstInTheControlsOrderBeforeTheActors) {
    start("p_1_up = key_up\np_1_down = key_down\np_1_left = key_left\np_1_right = key_right\n"
          "p_1_fire = key_rctrl\np_2_up = key_w\np_2_down = key_s\np_2_left = key_a\np_2_right = key_d\n"
          "p_2_fire = key_space\n");
    const int keys[] = {glfw2::KEY_UP, glfw2::KEY_DOWN, glfw2::KEY_LEFT, glfw2::KEY_RIGHT, glfw2::KEY_RCTRL,
                        'W', 'S', 'A', 'D', glfw2::KEY_SPACE};
    for (int key : keys) glfw2::seam::setKey(key, true);
    // Left and right together cancel out.
    const Events all = {"two.useItem", "one.useItem", "one:AB", "two:AB"};
    EXPECT_EQ(frame(), all);
    EXPECT_EQ(frame(), all) << "held controls act once per frame, every frame";
    for (int key : keys) glfw2::seam::setKey(key, false);
    glfw2::seam::setKey(glfw2::KEY_LEFT, true);
    glfw2::seam::setKey('S', true);
    EXPECT_EQ(frame(), (Events{"one:L", "two:B"}));
    glfw2::seam::setKey(glfw2::KEY_LEFT, false);
    glfw2::seam::setKey(glfw2::KEY_RIGHT, true);
    EXPECT_EQ(frame(), (Events{"one:R", "two:B"}));
}

TEST_F(LevelInputTest, JoystickButtonsAxesAndAMissingBindingAsButtonZero) {
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

TEST_F(LevelInputTest, UnconfiguredPlayersAndJoysticksEightOrNineGetNoInput) {
    // Player 1 is never named (device -2, bindings 0 = button 0); players 2
    // and 3 name joysticks that cannot exist; player 4, polled first, leaves
    // every button pressed in the shared buffers.
    start("p_2 = joy_8\np_2_up = joy_8_0\np_2_fire = joy_8_1\np_3 = joy_9\np_3_up = joy_9_0\n"
          "p_4 = joy_0\np_4_up = joy_0_0\np_4_down = joy_0_1\np_4_left = joy_0_2\n"
          "p_4_right = joy_0_3\np_4_fire = joy_0_4\n", {"one", "two", "three", "four"});
    ASSERT_EQ(Config::getInputDevice(0), -2);
    for (int joy = 0; joy < glfw2::JOYSTICK_COUNT; ++joy) setJoy(joy, {1, 1, 1, 1, 1});
    EXPECT_EQ(frame(), (Events{"four.useItem", "one:", "two:", "three:", "four:AB"}));
}

} // namespace
