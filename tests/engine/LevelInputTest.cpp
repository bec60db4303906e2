// The level's mapping of keys and joysticks to the players' vehicles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Level.h"
#include "tests/support/LevelTestBase.h"
#include "tests/support/RecordingActor.h"

using testsupport::Journal;
using testsupport::RecordingActor;
using testsupport::RecordingVehicle;

namespace {

using Events = std::vector<std::string>;

class LevelInputTest : public testsupport::LevelTestBase {
protected:
    Events frame(Engine::Level& level) {
        journal.events.clear();
        level.update(0.02f);
        return journal.events;
    }
    void setButtons(int joy, std::vector<unsigned char> buttons,
                    std::vector<float> axes = {0.0f, 0.0f}) {
        glfw2::seam::setJoystick(joy, static_cast<int>(axes.size()), axes.data(),
                                 static_cast<int>(buttons.size()), buttons.data());
    }
    Journal journal;
};

const char* const kTwoKeyboardPlayers =
    "p_1_up = key_up\np_1_down = key_down\np_1_left = key_left\np_1_right = key_right\n"
    "p_1_fire = key_rctrl\n"
    "p_2_up = key_w\np_2_down = key_s\np_2_left = key_a\np_2_right = key_d\n"
    "p_2_fire = key_space\n";

TEST_F(LevelInputTest, KeyboardPlayerTwoFirstInTheControlsOrderBeforeTheActors) {
    writeConfig(kTwoKeyboardPlayers);
    Engine::Level level;
    level.addVehicle(new RecordingVehicle(journal, "one"));
    level.addVehicle(new RecordingVehicle(journal, "two"));
    level.addActor(new RecordingActor(journal, "box", glm::vec3(30, 0, 0)));
    ASSERT_EQ(level.upKeys, (std::vector<int>{glfw2::KEY_UP, 'W'}));
    ASSERT_EQ(level.fireKeys, (std::vector<int>{glfw2::KEY_RCTRL, glfw2::KEY_SPACE}));
    for (int key : {int(glfw2::KEY_UP), int(glfw2::KEY_DOWN), int(glfw2::KEY_LEFT),
                    int(glfw2::KEY_RIGHT), int(glfw2::KEY_RCTRL), int('W'), int('S'), int('A'),
                    int('D'), int(glfw2::KEY_SPACE)})
        glfw2::seam::setKey(key, true);

    const Events expected = {"two.accelerate", "two.steerLeft", "two.steerRight", "two.brake",
                             "two.useItem",    "one.accelerate", "one.steerLeft", "one.steerRight",
                             "one.brake",      "one.useItem",    "box.update"};
    EXPECT_EQ(frame(level), expected);
    // Held controls act once per frame, every frame.
    EXPECT_EQ(frame(level), expected);
}

TEST_F(LevelInputTest, KeyboardPlayerGetsOnlyTheKeysThatAreDown) {
    writeConfig(kTwoKeyboardPlayers);
    Engine::Level level;
    level.addVehicle(new RecordingVehicle(journal, "one"));
    level.addVehicle(new RecordingVehicle(journal, "two"));
    glfw2::seam::setKey(glfw2::KEY_LEFT, true);
    glfw2::seam::setKey('S', true);
    EXPECT_EQ(frame(level), (Events{"two.brake", "one.steerLeft"}));
    glfw2::seam::setKey(glfw2::KEY_LEFT, false);
    glfw2::seam::setKey('S', false);
    EXPECT_TRUE(frame(level).empty());
}

TEST_F(LevelInputTest, JoystickButtonsInTheJoystickOrderWithButtonZero) {
    writeConfig("p_1 = joy_0\np_1_up = joy_0_0\np_1_down = joy_0_1\np_1_left = joy_0_2\n"
                "p_1_right = joy_0_3\np_1_fire = joy_0_4\n");
    Engine::Level level;
    level.addVehicle(new RecordingVehicle(journal, "one"));
    setButtons(0, {1, 1, 1, 1, 1});
    EXPECT_EQ(frame(level), (Events{"one.accelerate", "one.brake", "one.steerLeft",
                                    "one.steerRight", "one.useItem"}));
    setButtons(0, {1, 0, 0, 0, 0});
    EXPECT_EQ(frame(level), (Events{"one.accelerate"}));
}

TEST_F(LevelInputTest, MissingJoystickBindingIsButtonZero) {
    writeConfig("p_1 = joy_0\np_1_fire = joy_0_3\n");
    Engine::Level level;
    level.addVehicle(new RecordingVehicle(journal, "one"));
    ASSERT_EQ(level.upKeys[0], 0);
    setButtons(0, {1, 0, 0, 0});
    EXPECT_EQ(frame(level),
              (Events{"one.accelerate", "one.brake", "one.steerLeft", "one.steerRight"}));
    setButtons(0, {0, 0, 0, 1});
    EXPECT_EQ(frame(level), (Events{"one.useItem"}));
}

TEST_F(LevelInputTest, JoystickAxesSteerAndDrive) {
    writeConfig("p_1 = joy_1\np_1_up = joy_1_up\np_1_down = joy_1_down\n"
                "p_1_left = joy_1_left\np_1_right = joy_1_right\np_1_fire = joy_1_2\n");
    Engine::Level level;
    level.addVehicle(new RecordingVehicle(journal, "one"));
    // As the device reports them: y is down-positive, so -0.5 is up.
    setButtons(1, {0, 0, 0}, {-0.5f, -0.5f});
    EXPECT_EQ(frame(level), (Events{"one.accelerate", "one.steerLeft"}));
    setButtons(1, {0, 0, 0}, {0.5f, 0.5f});
    EXPECT_EQ(frame(level), (Events{"one.brake", "one.steerRight"}));
    setButtons(1, {0, 0, 0}, {0.0f, 0.0f});
    EXPECT_TRUE(frame(level).empty());
}

TEST_F(LevelInputTest, UnconfiguredPlayersAndJoysticksEightOrNineGetNoInput) {
    // Player 1 is never named (device -2, bindings 0 = button 0); players 2
    // and 3 name joysticks that cannot exist; player 4, polled first, leaves
    // every button pressed in the shared buffers.
    writeConfig("p_2 = joy_8\np_2_up = joy_8_0\np_2_fire = joy_8_1\n"
                "p_3 = joy_9\np_3_up = joy_9_0\n"
                "p_4 = joy_0\np_4_up = joy_0_0\np_4_down = joy_0_1\np_4_left = joy_0_2\n"
                "p_4_right = joy_0_3\np_4_fire = joy_0_4\n");
    ASSERT_EQ(Config::getInputDevice(0), -2);
    ASSERT_EQ(Config::getInputDevice(1), 8);
    ASSERT_EQ(Config::getInputDevice(2), 9);
    Engine::Level level;
    for (const char* name : {"one", "two", "three", "four"})
        level.addVehicle(new RecordingVehicle(journal, name));
    for (int joy = 0; joy < glfw2::JOYSTICK_COUNT; ++joy) setButtons(joy, {1, 1, 1, 1, 1});
    EXPECT_EQ(frame(level), (Events{"four.accelerate", "four.brake", "four.steerLeft",
                                    "four.steerRight", "four.useItem"}));
}

TEST_F(LevelInputTest, PlayersOnTwoJoysticksEachReadTheirOwn) {
    // Unbound controls would be button 0: bind them to a button the sticks
    // do not have.
    writeConfig("p_1 = joy_0\np_1_up = joy_0_0\np_1_fire = joy_0_1\n"
                "p_1_down = joy_0_7\np_1_left = joy_0_7\np_1_right = joy_0_7\n"
                "p_2 = joy_1\np_2_up = joy_1_0\np_2_fire = joy_1_1\n"
                "p_2_down = joy_1_7\np_2_left = joy_1_7\np_2_right = joy_1_7\n");
    Engine::Level level;
    level.addVehicle(new RecordingVehicle(journal, "one"));
    level.addVehicle(new RecordingVehicle(journal, "two"));
    setButtons(0, {0, 1});
    setButtons(1, {1, 0});
    EXPECT_EQ(frame(level), (Events{"two.accelerate", "one.useItem"}));
}

} // namespace
