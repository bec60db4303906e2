// The desk arena and the two test levels: what each constructor builds, the
// desk's rules where they differ from the final arena's, the test levels'
// counter, falling GameBoy, hidden radar and bare particle. Each draws
// frames without an OpenGL error and is torn down (checked by the sanitizer
// build).
#include <GL/glew.h>
#include <AL/al.h>
#include <gtest/gtest.h>

#include <typeinfo>

#include "decorations/HelpScreen.h"
#include "decorations/Radar.h"
#include "decorations/Text.h"
#include "engine/Camera.h"
#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/MeshHandler.h"
#include "levels/Desk1.h"
#include "levels/TestHUD.h"
#include "levels/Testlevel.h"
#include "tests/support/ArenaScene.h"

using namespace testsupport;

namespace {

using LevelsTest = ArenaScene;

GLenum drawTwoFrames(Engine::Level& level) {
    for (int frame = 0; frame < 2; ++frame) {
        level.update(kDt);
        level.render(true);
    }
    return glGetError();
}

std::vector<int> viewport(const Engine::Camera* camera) {
    return {camera->x, camera->y, camera->width, camera->height};
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
    EXPECT_EQ(viewport(level.cameras.at(0)), (std::vector<int>{0, 128, 256, 128}));
    EXPECT_EQ(viewport(level.cameras.at(1)), (std::vector<int>{0, 0, 256, 128}));
    EXPECT_TRUE(::fpsText == level.fpsText && ::radar == level.radar && ::helpScreen == level.helpScreen);
    EXPECT_TRUE(!level.radar->visible && !level.radar->drawOffscreen && level.radar->textureMode3);
    EXPECT_FALSE(level.helpScreen->visible || level.helpScreen->textureMode2);
    EXPECT_TRUE(shows(level.livesText[0], "") && shows(level.messageText, "status bar"));

    EXPECT_EQ(drawTwoFrames(level), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(shows(level.livesText[0], " life: 5 ") && shows(level.livesText[1], " life: 5 "));
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
    ALint music = 0;
    alGetSourcei(bgmSound, AL_SOURCE_STATE, &music);
    EXPECT_EQ(music, AL_STOPPED);
    EXPECT_GT(loudestTone(kWinHz), 0.2);
}

TEST_F(LevelsTest, TestHUDCountsFramesOverItsWinScreenAndItsGameBoyFalls) {
    Levels::TestHUD level;
    expectPlaced(level.actors, {{"GameBoy", {0, 0, 0}, 200}});
    expectPlaced(level.hudElements, {{"Text", {0, 0, 0}, 0.03f}, {"Text", {0.05f, 0.5f, 0}, 0.04f},
                                     {"P1WinScreen", {0, 0, -5}, 1}});
    ASSERT_EQ(level.cameras.size(), 1u);
    EXPECT_TRUE(typeid(*level.cameras[0]) == typeid(Engine::Camera) && level.hudCamera);
    EXPECT_EQ(viewport(level.cameras[0]), (std::vector<int>{0, 0, 256, 256}));
    EXPECT_EQ(testHudCounterText, level.hudElements.front());
    EXPECT_TRUE(shows(testHudCounterText, "") && shows(testHudText, "OIDA WOS?! 1234567890:-;,"));
    EXPECT_EQ(testHudText->colorBias, glm::vec4(1, 1, 0, 1));

    EXPECT_EQ(drawTwoFrames(level), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(shows(testHudCounterText, "2"));
    run(level, 58);
    EXPECT_TRUE(shows(testHudCounterText, "60"));
    EXPECT_LT(level.actors.front()->position.y, -4.0f); // a second of free fall
}

// The bare particle is given no life: it keeps the particle's own, one full
// fade of 10 s, and then leaves the level.
TEST_F(LevelsTest, TestlevelKeepsItsRadarHiddenAndItsBareParticleForOneFade) {
    Levels::Testlevel level;
    expectPlaced(level.actors, {{"GameBoy", {0, 0, 0}, 20}, {"Particle", {0, 0, 0}, 200}});
    expectPlaced(level.hudElements, {{"Radar", {0, 0, 0}, 1}});
    auto* radarQuad = static_cast<Decorations::Radar*>(level.hudElements.front());
    EXPECT_EQ(radarQuad->faceGroup->textureId, offscreenColorTexture);
    EXPECT_TRUE(level.actors.front()->rigidBody->isStaticObject());
    EXPECT_TRUE(level.cameras.size() == 1 && level.hudCamera);

    EXPECT_EQ(drawTwoFrames(level), GLenum(GL_NO_ERROR));
    run(level, 9 * 60 + 55); // 9.95 s in all
    EXPECT_EQ(level.actors.size(), 2u);
    run(level, 5);
    EXPECT_EQ(level.actors.size(), 1u);
    EXPECT_FALSE(radarQuad->visible);
    EXPECT_EQ(level.actors.front()->position, glm::vec3(0, 0, 0));
}

} // namespace
