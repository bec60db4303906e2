// The level's drawing pass: cameras, emitters, the HUD pass, the final
// viewport and the clear after the swap.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/Level.h"
#include "tests/support/LevelTestBase.h"
#include "tests/support/RecordingActor.h"

using testsupport::Journal;
using testsupport::RecordingActor;
using testsupport::RecordingEmitter;

namespace {

using Events = std::vector<std::string>;
using Viewport = std::vector<int>;

class LevelRenderTest : public testsupport::LevelTestBase {
protected:
    Journal journal;
};

Viewport currentViewport() {
    GLint v[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, v);
    return {v[0], v[1], v[2], v[3]};
}

TEST_F(LevelRenderTest, EachCameraDrawsActorsThenEmittersThenTheHudPass) {
    Engine::Level level;
    auto* a = new RecordingActor(journal, "a");
    auto* b = new RecordingActor(journal, "b", glm::vec3(5, 0, 0));
    auto* hud = new RecordingActor(journal, "hud", glm::vec3(0.0f), 0.0f, false);
    level.addActor(a);
    level.addActor(b);
    level.addEmitter(new RecordingEmitter(journal, "e"));
    level.addHUDElement(hud);
    level.addCamera(new Engine::Camera(0, 128, 256, 128));
    level.addCamera(new Engine::Camera(0, 0, 256, 128));
    level.setHUDCamera(new Engine::HUDCamera(10, 20, 200, 100));
    EXPECT_EQ(level.getCamera(1), level.cameras[1]);
    EXPECT_EQ(level.getCamera(2), nullptr);

    level.render(true);
    EXPECT_EQ(journal.events, (Events{"a.render", "b.render", "e.render", "a.render", "b.render",
                                      "e.render", "hud.render"}));
    EXPECT_EQ(a->viewports, (std::vector<Viewport>{{0, 128, 256, 128}, {0, 0, 256, 128}}));
    EXPECT_EQ(hud->viewports, (std::vector<Viewport>{{10, 20, 200, 100}}));
    EXPECT_EQ(currentViewport(), (Viewport{0, 0, 256, 256}));
}

TEST_F(LevelRenderTest, HudElementsWithoutHudCameraAreNotDrawn) {
    Engine::Level level;
    level.addHUDElement(new RecordingActor(journal, "hud", glm::vec3(0.0f), 0.0f, false));
    level.render(true);
    EXPECT_TRUE(journal.events.empty());
}

TEST_F(LevelRenderTest, FrameEndsWithTheBackBufferClearedAfterTheSwap) {
    Engine::Level level;
    level.addActor(new RecordingActor(journal, "a"));
    level.addCamera(new Engine::Camera(0, 0, 256, 256));
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    level.render(true);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(100, 100, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[2], 255);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

} // namespace
