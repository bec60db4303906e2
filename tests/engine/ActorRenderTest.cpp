// Actor drawing read back from the window: where a model lands and which
// colour each shader mode gives it.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/Light.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/GLContext.h"
#include "tests/support/OffscreenTarget.h"

using testsupport::DrawingScene;
using testsupport::readPixel;
using testsupport::Rgb;

namespace {

constexpr Rgb kLeft{200, 100, 40};
constexpr Rgb kRight{20, 60, 220};

::testing::AssertionResult colourNear(const std::array<int, 4>& actual, int r, int g, int b,
                                      int tolerance = 2) {
    if (std::abs(actual[0] - r) <= tolerance && std::abs(actual[1] - g) <= tolerance &&
        std::abs(actual[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual[0] << ", " << actual[1] << ", "
                                         << actual[2] << "), expected (" << r << ", " << g
                                         << ", " << b << ")";
}

// Window pixel of a world point seen through the camera.
std::array<int, 2> pixelOf(const Engine::Camera& camera, const glm::vec3& world) {
    const glm::vec4 clip = camera.transform * glm::vec4(world, 1.0f);
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    return {static_cast<int>((ndc.x + 1.0f) * 0.5f * camera.width),
            static_cast<int>((ndc.y + 1.0f) * 0.5f * camera.height)};
}

// An actor showing a mesh over the middle half of the HUD square.
struct HudQuad {
    explicit HudQuad(MeshHandler* mesh) {
        actor.mesh = mesh;
        actor.setPosition(glm::vec3(0.5f, 0.5f, 0.0f));
        actor.setScale(0.25f);
    }
    Engine::Actor actor;
};

// Light straight in front of the HUD plane; ambient and light of 0.25 each.
Light frontLight(float strength = 0.25f) {
    return Light(glm::vec3(0.5f, 0.5f, 100.0f), glm::vec4(strength, strength, strength, 1.0f), 200.0f);
}
const glm::vec4 kQuarterAmbient(0.25f, 0.25f, 0.25f, 1.0f);

class ActorRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::ensureGLContext()) GTEST_SKIP() << "no OpenGL context";
        scene = std::make_unique<DrawingScene>();
        scene->clearWindow();
    }
    void TearDown() override { scene.reset(); }
    std::unique_ptr<DrawingScene> scene;
    Engine::HUDCamera hud{0, 0, DrawingScene::kSize, DrawingScene::kSize};
};

TEST_F(ActorRenderTest, TexturedModelLandsWhereTheCameraPutsIt) {
    REQUIRE_GL_CONTEXT();
    testsupport::writeTexturedQuad(scene->dir.path() + "/m", "quad", kLeft, kRight);
    MeshHandler* mesh = ResourceRegistry::getMesh("m/quad.obj");
    ASSERT_NE(mesh, nullptr);
    ASSERT_TRUE(mesh->getFaceGroup("tex") && mesh->getFaceGroup("tex")->hasTexture);

    Engine::Camera camera(0, 0, DrawingScene::kSize, DrawingScene::kSize);
    Engine::Actor actor;
    actor.mesh = mesh;
    actor.setScale(40.0f);
    const Light light(glm::vec3(0, 0, 100), glm::vec4(0.25f, 0.25f, 0.25f, 1), 200);
    actor.render(&camera, kQuarterAmbient, light, true);

    // Lit texture: texture * (ambient + light * diffuse), diffuse about 0.98
    // at 20 units beside a light 100 units in front.
    const auto left = pixelOf(camera, glm::vec3(-20, 0, 0));
    const auto right = pixelOf(camera, glm::vec3(20, 10, 0));
    EXPECT_TRUE(colourNear(readPixel(0, left[0], left[1]), 99, 50, 20, 4));
    EXPECT_TRUE(colourNear(readPixel(0, right[0], right[1]), 10, 30, 109, 4));
    // Beyond the square's edges (at +-40) nothing is drawn.
    for (const glm::vec3& outside : {glm::vec3(48, 0, 0), glm::vec3(0, 48, 0), glm::vec3(-48, -48, 0)}) {
        const auto p = pixelOf(camera, outside);
        EXPECT_TRUE(colourNear(readPixel(0, p[0], p[1]), 0, 0, 0, 0)) << outside.x << "," << outside.y;
    }
}

TEST_F(ActorRenderTest, ModeOneShowsTheTextureUnlit) {
    REQUIRE_GL_CONTEXT();
    HudQuad quad(scene->makeQuadMesh("tex", scene->makeTexture(kLeft, kRight)));
    quad.actor.textureMode2 = false;
    quad.actor.render(&hud, kQuarterAmbient, frontLight(), true);
    EXPECT_TRUE(colourNear(readPixel(0, 96, 128), kLeft.r, kLeft.g, kLeft.b, 1));
    EXPECT_TRUE(colourNear(readPixel(0, 160, 128), kRight.r, kRight.g, kRight.b, 1));
    // The square covers 0.25..0.75 of the viewport.
    EXPECT_TRUE(colourNear(readPixel(0, 66, 66), kLeft.r, kLeft.g, kLeft.b, 1));
    EXPECT_TRUE(colourNear(readPixel(0, 61, 128), 0, 0, 0, 0));
    EXPECT_TRUE(colourNear(readPixel(0, 196, 128), 0, 0, 0, 0));
    EXPECT_TRUE(colourNear(readPixel(0, 128, 196), 0, 0, 0, 0));
}

TEST_F(ActorRenderTest, ModeTwoLightsTheTexture) {
    REQUIRE_GL_CONTEXT();
    HudQuad quad(scene->makeQuadMesh("tex", scene->makeTexture(kLeft, kRight)));
    quad.actor.render(&hud, kQuarterAmbient, frontLight(), true);
    // Ambient 0.25 plus light 0.25 head-on: half the texture.
    EXPECT_TRUE(colourNear(readPixel(0, 96, 128), 100, 50, 20));
    EXPECT_TRUE(colourNear(readPixel(0, 160, 128), 10, 30, 110));

    // A light behind the square leaves the ambient share only.
    scene->clearWindow();
    const Light behind(glm::vec3(0.5f, 0.5f, -100.0f), glm::vec4(0.25f, 0.25f, 0.25f, 1), 200);
    quad.actor.render(&hud, kQuarterAmbient, behind, true);
    EXPECT_TRUE(colourNear(readPixel(0, 96, 128), 50, 25, 10));
}

TEST_F(ActorRenderTest, ModeThreeTintsTheOffscreenPictureWithScanLines) {
    REQUIRE_GL_CONTEXT();
    HudQuad quad(scene->makeQuadMesh("tex", scene->makeTexture({200, 200, 200}, {200, 200, 200})));
    quad.actor.textureMode3 = true; // wins over textureMode2
    quad.actor.render(&hud, glm::vec4(0.0f), Light(glm::vec3(0), glm::vec4(0.0f), 0.0f), true);
    const auto bright = readPixel(0, 128, 128);
    const auto dim = readPixel(0, 128, 129);
    // Green tint of the picture's brightness, unlit (no light at all here).
    EXPECT_TRUE(colourNear(bright, 50, 200, 70, 2));
    EXPECT_EQ(bright[3], 255) << "the picture is opaque";
    EXPECT_TRUE(colourNear(dim, 35, 140, 49, 2)) << "every second row is darker";
    EXPECT_GT(bright[1], bright[0]);
    EXPECT_GT(bright[1], bright[2]);
}

TEST_F(ActorRenderTest, ModeZeroLightsEachMaterialTerm) {
    REQUIRE_GL_CONTEXT();
    MeshHandler* mesh = scene->makeQuadMesh("plain", 0);
    FaceGroup* group = mesh->getFaceGroup("plain");
    HudQuad quad(mesh);
    const glm::vec4 halfAmbient(0.5f, 0.5f, 0.5f, 1.0f);
    const Light dark(glm::vec3(0.5f, 0.5f, 100.0f), glm::vec4(0, 0, 0, 1), 200);
    const Light front = frontLight(0.5f);
    const Light behind(glm::vec3(0.5f, 0.5f, -100.0f), glm::vec4(0.5f, 0.5f, 0.5f, 1), 200);
    struct Case {
        const char* what;
        glm::vec4 Ka, Kd, Ks, Ke;
        const Light* light;
        int r, g, b;
    } cases[] = {
        {"ambient", {1, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, &dark, 128, 0, 0},
        {"emissive", {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0.2f, 0.4f, 0.6f, 1}, &dark, 51, 102, 153},
        {"diffuse lit", {0, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, &front, 0, 128, 0},
        {"diffuse behind", {0, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, &behind, 0, 0, 0},
        {"specular", {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}, &front, 0, 0, 128},
    };
    for (const Case& c : cases) {
        group->Ka = c.Ka;
        group->Kd = c.Kd;
        group->Ks = c.Ks;
        group->Ke = c.Ke;
        scene->clearWindow();
        quad.actor.render(&hud, halfAmbient, *c.light, true);
        EXPECT_TRUE(colourNear(readPixel(0, 128, 128), c.r, c.g, c.b)) << c.what;
    }

    // Opacity and the colour bias.
    group->Ka = group->Kd = group->Ks = glm::vec4(0, 0, 0, 1);
    group->Ke = glm::vec4(1, 1, 1, 1);
    group->d = 0.5f;
    quad.actor.colorBias = glm::vec4(0.5f, 1.0f, 0.25f, 1.0f);
    scene->clearWindow();
    quad.actor.render(&hud, halfAmbient, dark, true);
    const auto biased = readPixel(0, 128, 128);
    EXPECT_TRUE(colourNear(biased, 128, 255, 64));
    EXPECT_NEAR(biased[3], 128, 2);
}

TEST_F(ActorRenderTest, BuffersAndMemoryGiveTheSamePicture) {
    REQUIRE_GL_CONTEXT();
    testsupport::writeTexturedQuad(scene->dir.path() + "/m", "quad", kLeft, kRight);
    MeshHandler* mesh = ResourceRegistry::getMesh("m/quad.obj");
    ASSERT_NE(mesh, nullptr);
    Engine::Camera camera(0, 0, DrawingScene::kSize, DrawingScene::kSize);
    Engine::Actor actor;
    actor.mesh = mesh;
    actor.setScale(50.0f);
    actor.rotationAngle = 30.0f;
    actor.setPosition(glm::vec3(10, 0, 0));
    const Light light(glm::vec3(0, 50, 100), glm::vec4(0.6f, 0.6f, 0.6f, 1), 200);

    actor.render(&camera, kQuarterAmbient, light, true);
    const auto withBuffers = scene->readAll();
    scene->clearWindow();
    actor.render(&camera, kQuarterAmbient, light, false);
    const auto fromMemory = scene->readAll();
    EXPECT_TRUE(withBuffers == fromMemory);
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < withBuffers.size(); i += 4) drawn += withBuffers[i] != 0;
    EXPECT_GT(drawn, 1000u) << "the picture is not empty";
}

TEST_F(ActorRenderTest, SwitchingBuffersOffReadsTheArraysInMemory) {
    REQUIRE_GL_CONTEXT();
    MeshHandler* mesh = scene->makeQuadMesh("plain", 0);
    FaceGroup* group = mesh->getFaceGroup("plain");
    group->Ke = glm::vec4(1, 1, 1, 1);
    HudQuad quad(mesh);
    // Move the square in memory only: the buffers still hold it in the middle.
    for (glm::vec4& v : *group->vertices) v.x += 1.5f;
    const Light light = frontLight();

    quad.actor.render(&hud, kQuarterAmbient, light, true);
    EXPECT_TRUE(colourNear(readPixel(0, 100, 128), 255, 255, 255, 0));
    EXPECT_TRUE(colourNear(readPixel(0, 220, 128), 0, 0, 0, 0));
    scene->clearWindow();
    quad.actor.render(&hud, kQuarterAmbient, light, false);
    EXPECT_TRUE(colourNear(readPixel(0, 100, 128), 0, 0, 0, 0));
    EXPECT_TRUE(colourNear(readPixel(0, 220, 128), 255, 255, 255, 0));

    // A group without buffers (after reset, before new ones) draws from
    // memory even with buffers switched on.
    group->reset();
    testsupport::addQuadGroup(*mesh, "plain"); // refills the existing group
    scene->clearWindow();
    quad.actor.render(&hud, kQuarterAmbient, light, true);
    EXPECT_TRUE(colourNear(readPixel(0, 128, 128), 255, 255, 255, 0));
}

TEST_F(ActorRenderTest, ArraysShorterThanTheDrawAreNotRead) {
    REQUIRE_GL_CONTEXT();
    MeshHandler* mesh = scene->makeQuadMesh("plain", 0);
    FaceGroup* group = mesh->getFaceGroup("plain");
    group->Ke = glm::vec4(1, 0, 0, 1);
    group->texCoords->clear();
    group->normals->clear();
    group->vbo[1] = group->vbo[2] = 0;
    HudQuad quad(mesh);
    quad.actor.render(&hud, kQuarterAmbient, frontLight(), false);
    EXPECT_TRUE(colourNear(readPixel(0, 128, 128), 255, 0, 0, 0));
}

TEST_F(ActorRenderTest, BillboardFacesTheCamera) {
    REQUIRE_GL_CONTEXT();
    Engine::Camera camera(0, 0, DrawingScene::kSize, DrawingScene::kSize);
    MeshHandler* mesh = scene->makeQuadMesh("plain", 0);
    mesh->getFaceGroup("plain")->Ke = glm::vec4(1, 1, 1, 1);
    Engine::Actor actor;
    actor.mesh = mesh;
    // Turned edge-on to the camera (the eye lies in the y-z plane).
    actor.rotationAngle = 90.0f;
    // The camera transform holds the projection too, which a billboard's
    // block squares: at 283 units a scale of 20 gives about 50 pixels.
    actor.setScale(20.0f);
    const Light light = frontLight();

    actor.render(&camera, kQuarterAmbient, light, true);
    EXPECT_TRUE(colourNear(readPixel(0, 140, 128), 0, 0, 0, 0)) << "edge-on shows nothing beside the middle";

    actor.billboard = true;
    scene->clearWindow();
    actor.render(&camera, kQuarterAmbient, light, true);
    EXPECT_TRUE(colourNear(readPixel(0, 128, 128), 255, 255, 255, 0));
    EXPECT_TRUE(colourNear(readPixel(0, 140, 128), 255, 255, 255, 0));
    EXPECT_TRUE(colourNear(readPixel(0, 128, 140), 255, 255, 255, 0));
}

} // namespace
