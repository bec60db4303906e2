// The arena levels, the test levels and the start-up steps that build the
// final one. Each draws frames without an OpenGL error and is torn down.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "decorations/HelpScreen.h"
#include "decorations/Radar.h"
#include "decorations/Text.h"
#include "engine/Camera.h"
#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/KeyCommands.h"
#include "engine/Startup.h"
#include "game/Car.h"
#include "game/VehicleCam.h"
#include "levels/Desk1.h"
#include "levels/FinalLevel.h"
#include "levels/TestHUD.h"
#include "levels/Testlevel.h"
#include "platform/Glfw2.h"
#include "tests/support/ArenaScene.h"
#include "tests/support/CarScene.h"

using namespace testsupport;

namespace {

using LevelsTest = ArenaScene;
using Level = Levels::FinalLevel;

// The lines of the log text that count lives.
std::string livesLines(const std::string& log) {
    std::string lines;
    for (size_t at = log.find("ArenaLevel: "); at != std::string::npos; at = log.find("ArenaLevel: ", at + 1))
        lines += log.substr(at, log.find('\n', at) + 1 - at);
    return lines;
}

GLenum drawFrames(Engine::Level& level, int frames) {
    for (int frame = 0; frame < frames; ++frame) {
        level.update(kDt);
        level.render(true);
    }
    return glGetError();
}

std::vector<int> viewport(const Engine::Camera* camera) { return {camera->x, camera->y, camera->width, camera->height}; }

TEST_F(LevelsTest, BuildsTheArenaItsHUDAndBothHalvesOfAnOddWindow) {
    writeConfig("width = 300\nheight = 255\n");
    Level level;
    expectPlaced(level.actors, {{"WoodTable", {0, -1, 0}, 1}, {"WorldCup", {0, 30, 0}, 10},
        {"ACube", {-30, 10, 49}, 10}, {"BCube", {0, 10, 51}, 10}, {"CCube", {30, 10, 50}, 10},
        {"DCube", {-30, 10, -49}, 10}, {"ACube", {0, 10, -51}, 10}, {"CCube", {30, 10, -50}, 10},
        {"GameBoy", {-75, 5, -75}, 2}, {"Pipe", {70, 10, 70}, 5}, {"Subaru", {-50, 5, 20}, 200},
        {"Ball", {50, 10, 0}, 100}, {"Toiletpaper", {-50, 10, -20}, 170}, {"Glass", {50, 5, -40}, 6},
        {"BulletBill", {0, 1000, 0}, 1}, {"PickupMarker", {0, 1, 75}, 0}, {"PickupMarker", {0, 1, -75}, 0},
        {"PickupMarker", {25, 1, 0}, 0}, {"PickupMarker", {-25, 1, 0}, 0}, {"Mine", {-50, 1, -50}, 0},
        {"SkyDome", {0, -100, 0}, 50}, {"Car", {90, 2, -90}, 0}, {"Car", {-90, 2, 90}, 0}});
    expectPlaced(level.hudElements, {{"Icon", {0, 0.5f, 0}, 0.06f}, {"Icon", {0, 0, 0}, 0.06f},
        {"Text", {0.07f, 0.51f, 0}, 0.024f}, {"Text", {0.07f, 0.01f, 0}, 0.024f},
        {"Text", {0.7f, 0, 0}, 0.02f}, {"Text", {0.88f, 0.97f, 0}, 0.023f}, {"Radar", {0, 0, 1}, 1},
        {"HelpScreen", {0, 0, 3}, 1}, {"Text", {0.35f, 0.7f, 0}, 0.04f}, {"Text", {0.35f, 0.2f, 0}, 0.04f}});
    EXPECT_FALSE(level.helpScreen->visible || level.radar->visible || level.helpScreen->textureMode2);
    EXPECT_TRUE(::fpsText == level.fpsText && ::radar == level.radar && ::helpScreen == level.helpScreen);
    EXPECT_TRUE(shows(level.livesText[0], "") && shows(level.messageText, "  "));
    for (int i : {0, 1}) { // height 255: two halves of 127 rows, the upper one from row 127
        auto* cam = dynamic_cast<Engine::VehicleCam*>(level.cameras.at(i));
        ASSERT_TRUE(cam && cam->vehicle == level.vehicles[i]);
        EXPECT_EQ(viewport(cam), (std::vector<int>{0, i == 0 ? 127 : 0, 300, 127}));
    }
    EXPECT_EQ(drawFrames(level, 3), GLenum(GL_NO_ERROR));
    run(level, 121); // "START!" faded out and gone
    EXPECT_EQ(count(level.hudElements, "Text"), 4);
}

TEST_F(LevelsTest, LivesLifeLostAndWinScreensFrameByFrame) {
    Level level;
    Vehicles::Car stranger("meshes/car/car.obj");
    struct Frame {
        int lose1, lose2;            // lives each player loses before the frame
        const char *text1, *text2;   // then the lives texts,
        int lost1, lost2;            // the "Life Lost" texts of each half,
        int p1Wins, p2Wins;          // the win screens,
        const char* log;             // and the lines logged (null: not checked)
    } frames[] = {
        {0, 0, "x 5 ", "x 5 ", 0, 0, 0, 0, ""},
        {1, 0, "x 4 ", "x 5 ", 1, 0, 0, 0, "ArenaLevel: Player 1 has 4 life(s) left.\n"},
        {3, 4, "x 1 ", "x 1 ", 2, 1, 0, 0, nullptr},
        {0, 0, "x 1 ", "x 1 ", 2, 1, 0, 0, ""},
        {1, 1, "x -1 ", "x -1 ", 3, 2, 1, 0,
         "ArenaLevel: Player 1 has 0 life(s) left.\nArenaLevel: Player 2 has 0 life(s) left.\n"},
        {0, 0, "x -1 ", "x -1 ", 3, 2, 1, 1, ""},
        {1, 0, "x -2 ", "x -1 ", 4, 2, 1, 1, "ArenaLevel: Player 1 has -2 life(s) left.\n"},
    };
    for (const Frame& f : frames) {
        const size_t logged = logText().size();
        for (int i = 0; i < f.lose1; ++i) level.onVehicleLost(level.vehicles[0]);
        for (int i = 0; i < f.lose2; ++i) level.onVehicleLost(level.vehicles[1]);
        level.onVehicleLost(&stranger);
        level.update(kDt);
        const long row = &f - frames;
        EXPECT_TRUE(shows(level.livesText[0], f.text1) && shows(level.livesText[1], f.text2)) << row;
        int lost[2] = {0, 0};
        for (Engine::Actor* a : level.hudElements)
            if (count({a}, "Text", "Life Lost")) lost[a->position.y > 0.5f ? 0 : 1] += 1;
        EXPECT_TRUE(lost[0] == f.lost1 && lost[1] == f.lost2) << row;
        EXPECT_EQ(count(level.hudElements, "P1WinScreen"), f.p1Wins) << row;
        EXPECT_EQ(count(level.hudElements, "P2WinScreen"), f.p2Wins) << row;
        const std::string lines = livesLines(logText().substr(logged));
        EXPECT_EQ(lines, f.log ? f.log : lines) << row;
    }
    EXPECT_TRUE(!played(bgmSound) && played(winSound)); // the music stopped, the win sound started
}

TEST_F(LevelsTest, FrameRateTwiceASecondAndKeyRepliesThatFade) {
    Level level;
    level.update(0.5f); // exactly half a second: not yet
    EXPECT_TRUE(shows(level.fpsText, ""));
    run(level, 1, 0.001f);
    EXPECT_TRUE(shows(level.fpsText, "4 fps"));
    run(level, 30, 0.0167f);
    EXPECT_TRUE(shows(level.fpsText, "60 fps"));

    currentLevel = &level;
    keyCallback(glfw2::KEY_F3, glfw2::PRESS);
    EXPECT_TRUE(shows(level.messageText, "Wireframe On"));
    run(level, 60);
    EXPECT_LT(level.messageText->faceGroup->d, 0.7f);
    keyCallback(glfw2::KEY_F8, glfw2::PRESS); // replaces it at full opacity
    EXPECT_TRUE(shows(level.messageText, "Frustum cull Off") && level.messageText->visible);
    EXPECT_EQ(level.messageText->faceGroup->d, 1.0f);
    run(level, 175);
    EXPECT_TRUE(level.messageText->visible);
    run(level, 10);
    EXPECT_FALSE(level.messageText->visible); // hidden, and kept
    EXPECT_EQ(count(level.hudElements, "Text"), 4);
}

// Each "Life Lost" holds a font texture of its own: once faded, it goes.
TEST_F(LevelsTest, AHundredLostLivesLeaveTexturesAndHUDBounded) {
    Level level;
    auto liveTextures = [] {
        GLuint next = 0;
        glGenTextures(1, &next);
        int live = 0;
        for (GLuint name = 1; name < next; ++name) live += glIsTexture(name);
        glDeleteTextures(1, &next);
        return live;
    };
    level.update(kDt);
    const int before = liveTextures();
    size_t most = 0;
    for (int loss = 0; loss < 100; ++loss) {
        level.onVehicleLost(level.vehicles[0]);
        run(level, 10);
        most = std::max(most, level.hudElements.size());
    }
    run(level, 125);
    EXPECT_LE(most, 10u + 1u + 13u); // 2 s of fading texts, one every 10 frames
    EXPECT_EQ(level.hudElements.size(), 8u + 1u); // and the win screen
    EXPECT_LE(liveTextures(), before + 1); // the win screen's, less the two "START!"
}

// Player 1 holds the brake: the car reverses off the table and is put back,
// five times. Two matches from the same seed end with the same cars, bit for bit.
TEST_F(LevelsTest, ScriptedMatchOfFiveReversalsOffTheTableIsDeterministic) {
    auto match = [this] {
        std::srand(11);
        Level level;
        const size_t logged = logText().size();
        glfw2::seam::setKey(glfw2::KEY_DOWN, true);
        int frames = 0;
        for (; frames < 3000 && level.lives[0] > -1; ++frames) level.update(kDt);
        glfw2::seam::setKey(glfw2::KEY_DOWN, false);
        run(level, 60);
        EXPECT_EQ(livesLines(logText().substr(logged)),
                  "ArenaLevel: Player 1 has 4 life(s) left.\nArenaLevel: Player 1 has 3 life(s) left.\n"
                  "ArenaLevel: Player 1 has 2 life(s) left.\nArenaLevel: Player 1 has 1 life(s) left.\n"
                  "ArenaLevel: Player 1 has 0 life(s) left.\n");
        EXPECT_TRUE(count(level.hudElements, "P2WinScreen") == 1 && count(level.hudElements, "P1WinScreen") == 0);
        std::string transforms;
        for (Engine::Vehicle* car : level.vehicles) {
            float m[16];
            car->rigidBody->getWorldTransform().getOpenGLMatrix(m);
            transforms.append(reinterpret_cast<const char*>(m), sizeof m);
        }
        return std::make_pair(frames, std::hash<std::string>()(transforms));
    };
    const auto first = match();
    EXPECT_FALSE(played(bgmSound));
    EXPECT_EQ(match(), first);
}

// Presses that the first loading frame delivers, before the arena's HUD exists.
TEST_F(LevelsTest, TwentyTwoLoadingFramesThenTheArenaAndKeysThatFindNothingYet) {
    static int frames;
    frames = 0;
    glfw2::seam::setBeforeSwap([] { ++frames; });
    for (int key = glfw2::KEY_F1; key <= glfw2::KEY_F9; ++key) glfw2::seam::queueKey(key, glfw2::PRESS);
    glfw2::setKeyCallback(keyCallback);
    loadArena();
    const std::unique_ptr<Engine::Level> owned(currentLevel);
    glfw2::setKeyCallback(nullptr);
    glfw2::seam::setBeforeSwap(nullptr);
    EXPECT_EQ(frames, 22);
    auto* level = dynamic_cast<Level*>(currentLevel);
    ASSERT_NE(level, nullptr);
    EXPECT_TRUE(fpsShown && level->fpsText->visible && !helpShown && !level->helpScreen->visible);
    EXPECT_TRUE(wireframeOn && !useVBO && !frustumCullingOn && !transparencyOn);
    EXPECT_FALSE(level->messageText->fading); // no one was told
    EXPECT_NE(logText().find("Loading... meshes/loadingscreen.obj\nBULLET: destroyed\nBULLET: initialized\n"),
              std::string::npos);
    keyCallback(glfw2::KEY_F1, glfw2::PRESS); // now it acts
    EXPECT_TRUE(helpShown && level->helpScreen->visible);
}

TEST_F(LevelsTest, Desk1BuildsItsTablesAndKeepsTheArenaRulesWithAPlainerHUD) {
    Levels::Desk1 level;
    expectPlaced(level.actors, {{"WoodTable", {0, -1, 0}, 1}, {"PickupMarker", {90, 1, -10}, 0},
        {"PickupMarker", {0, 1, 70}, 0}, {"Mine", {10, 1, 70}, 0}, {"ACube", {25, 5, 30}, 10},
        {"BCube", {-40, 5, -90}, 10}, {"CCube", {80, 5, 50}, 10}, {"DCube", {-50, 5, 68}, 10},
        {"ACube", {35, 35, -60}, 10}, {"BCube", {35, 25, -60}, 10}, {"CCube", {35, 15, -60}, 10},
        {"DCube", {35, 5, -60}, 10}, {"SkyDome", {0, -100, 0}, 50}, {"Car", {90, 2, -90}, 0},
        {"Car", {-90, 2, 90}, 0}});
    expectPlaced(level.hudElements, {{"Text", {0, 0.5f, 0}, 0.03f}, {"Text", {0, 0, 0}, 0.03f},
        {"Text", {0.7f, 0, 0}, 0.02f}, {"Text", {0.88f, 0.97f, 0}, 0.023f}, {"Radar", {0, 0, 1}, 1},
        {"HelpScreen", {0, 0, 3}, 1}});
    EXPECT_TRUE(::fpsText == level.fpsText && ::radar == level.radar && ::helpScreen == level.helpScreen);
    EXPECT_TRUE(shows(level.livesText[0], "") && shows(level.messageText, "status bar"));

    EXPECT_EQ(drawFrames(level, 2), GLenum(GL_NO_ERROR));
    for (int loss = 0; loss < 5; ++loss) {
        level.onVehicleLost(level.vehicles[1]);
        run(level, 2);
    }
    EXPECT_TRUE(shows(level.livesText[1], " life: -1 ") && shows(level.livesText[0], " life: 5 "));
    EXPECT_EQ(count(level.hudElements, "Text"), 4); // no "Life Lost"
    EXPECT_TRUE(count(level.hudElements, "P1WinScreen") == 1 && count(level.hudElements, "P2WinScreen") == 0);

    level.onMessage("VBO Off");
    run(level, 400);
    EXPECT_TRUE(shows(level.fpsText, "60 fps")); // the frames of each half second, doubled
    EXPECT_TRUE(shows(level.messageText, "VBO Off") && level.messageText->visible);
    EXPECT_EQ(level.messageText->faceGroup->d, 1.0f); // no fade
}

TEST_F(LevelsTest, TestHUDCountsFramesOverItsWinScreenAndItsGameBoyFalls) {
    Levels::TestHUD level;
    expectPlaced(level.actors, {{"GameBoy", {0, 0, 0}, 200}});
    expectPlaced(level.hudElements, {{"Text", {0, 0, 0}, 0.03f}, {"Text", {0.05f, 0.5f, 0}, 0.04f},
                                     {"P1WinScreen", {0, 0, -5}, 1}});
    EXPECT_EQ(viewport(level.cameras.at(0)), (std::vector<int>{0, 0, 256, 256}));
    EXPECT_EQ(testHudCounterText, level.hudElements.front());
    EXPECT_TRUE(shows(testHudCounterText, "") && shows(testHudText, "OIDA WOS?! 1234567890:-;,"));

    EXPECT_EQ(drawFrames(level, 2), GLenum(GL_NO_ERROR));
    run(level, 58);
    EXPECT_TRUE(shows(testHudCounterText, "60"));
    EXPECT_LT(level.actors.front()->position.y, -4.0f); // a second of free fall
}

// The bare particle keeps its own life, one full fade of 10 s, then it leaves.
TEST_F(LevelsTest, TestlevelKeepsItsRadarHiddenAndItsBareParticleForOneFade) {
    Levels::Testlevel level;
    expectPlaced(level.actors, {{"GameBoy", {0, 0, 0}, 20}, {"Particle", {0, 0, 0}, 200}});
    expectPlaced(level.hudElements, {{"Radar", {0, 0, 0}, 1}});
    EXPECT_TRUE(level.actors.front()->rigidBody->isStaticObject());

    EXPECT_EQ(drawFrames(level, 2), GLenum(GL_NO_ERROR));
    run(level, 9 * 60 + 55); // 9.95 s in all
    EXPECT_EQ(level.actors.size(), 2u);
    run(level, 5);
    EXPECT_EQ(level.actors.size(), 1u);
    EXPECT_FALSE(level.hudElements.front()->visible);
    EXPECT_EQ(level.actors.front()->position, glm::vec3(0, 0, 0));
}

} // namespace
