// Actor drawing read back from the window: where a model lands and which
// colour each shader mode gives it.
#include <GL/glew.h>

#include <gtest/gtest.h>

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
const glm::vec4 kQuarterAmbient(0.25f, 0.25f, 0.25f, 1.0f);

// Expected colour of the window pixel (x, y).
struct Pixel {
    int x, y, r, g, b;
};

::testing::AssertionResult colourIs(const Pixel& p, int tolerance) {
    const auto a = readPixel(0, p.x, p.y);
    if (std::abs(a[0] - p.r) <= tolerance && std::abs(a[1] - p.g) <= tolerance &&
        std::abs(a[2] - p.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << p.x << "," << p.y << " got " << a[0] << ","
                                         << a[1] << "," << a[2];
}

void expectPixels(std::initializer_list<Pixel> pixels, int tolerance = 2) {
    for (const Pixel& p : pixels) EXPECT_TRUE(colourIs(p, tolerance));
}

// Window pixel of a world point seen through the camera, with its colour.
Pixel pixelOf(const Engine::Camera& camera, const glm::vec3& world, int r, int g, int b) {
    const glm::vec4 clip = camera.transform * glm::vec4(world, 1.0f);
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    return {static_cast<int>((ndc.x + 1.0f) * 0.5f * camera.width),
            static_cast<int>((ndc.y + 1.0f) * 0.5f * camera.height), r, g, b};
}

// A light straight in front of the HUD plane (z = +100) or behind it.
Light lightAt(float z, float strength = 0.25f) {
    return Light(glm::vec3(0.5f, 0.5f, z), glm::vec4(strength, strength, strength, 1.0f), 200.0f);
}

class ActorRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        scene = std::make_unique<DrawingScene>();
        scene->clearWindow();
        // Over the middle half of the HUD square (pixels 64..192).
        actor = std::make_unique<Engine::Actor>();
        actor->setPosition(glm::vec3(0.5f, 0.5f, 0.0f));
        actor->setScale(0.25f);
    }
    void TearDown() override {
        actor.reset();
        scene.reset();
    }
    MeshHandler* whiteQuad() {
        MeshHandler* mesh = scene->makeQuadMesh("plain", 0);
        mesh->getFaceGroup("plain")->Ke = glm::vec4(1, 1, 1, 1);
        return mesh;
    }
    // Draws the actor alone into the cleared window.
    void draw(const glm::vec4& ambient, const Light& light, bool vbo = true,
              Engine::Camera* through = nullptr) {
        scene->clearWindow();
        actor->render(through ? through : &hud, ambient, light, vbo);
    }

    std::unique_ptr<DrawingScene> scene;
    Engine::HUDCamera hud{0, 0, DrawingScene::kSize, DrawingScene::kSize};
    Engine::Camera camera{0, 0, DrawingScene::kSize, DrawingScene::kSize};
    std::unique_ptr<Engine::Actor> actor;
};

TEST_F(ActorRenderTest, TexturedModelLandsWhereTheCameraPutsItWithAndWithoutBuffers) {
    REQUIRE_GL_CONTEXT();
    testsupport::writeTexturedQuad(scene->dir.path() + "/m", "quad", kLeft, kRight);
    actor->mesh = ResourceRegistry::getMesh("m/quad.obj");
    ASSERT_NE(actor->mesh, nullptr);
    ASSERT_TRUE(actor->mesh->getFaceGroup("tex") && actor->mesh->getFaceGroup("tex")->hasTexture);
    actor->setPosition(glm::vec3(0));
    actor->setScale(40.0f);
    const Light light({0, 0, 100}, {0.25f, 0.25f, 0.25f, 1}, 200);
    draw(kQuarterAmbient, light, true, &camera);
    // texture * (ambient + light * diffuse), diffuse about 0.98 at 20 units
    // beside a light 100 units in front; nothing beyond the edges at +-40.
    expectPixels({pixelOf(camera, {-20, 0, 0}, 99, 50, 20), pixelOf(camera, {20, 10, 0}, 10, 30, 109)}, 4);
    expectPixels({pixelOf(camera, {48, 0, 0}, 0, 0, 0), pixelOf(camera, {0, 48, 0}, 0, 0, 0),
                  pixelOf(camera, {-48, -48, 0}, 0, 0, 0)}, 0);

    // Turned and moved, buffers and memory give the same picture.
    actor->rotationAngle = 30.0f;
    actor->setPosition(glm::vec3(10, 0, 0));
    draw(kQuarterAmbient, light, true, &camera);
    const auto withBuffers = scene->readAll();
    draw(kQuarterAmbient, light, false, &camera);
    EXPECT_TRUE(withBuffers == scene->readAll());
    EXPECT_FALSE(colourIs(pixelOf(camera, {10, 0, 0}, 0, 0, 0), 0)) << "the picture is not empty";
}

TEST_F(ActorRenderTest, TexturedModesOneTwoAndThree) {
    REQUIRE_GL_CONTEXT();
    actor->mesh = scene->makeQuadMesh("tex", scene->makeTexture(kLeft, kRight));
    // Mode 1: the texture unlit, over 0.25..0.75 of the viewport only.
    actor->textureMode2 = false;
    draw(kQuarterAmbient, lightAt(100));
    expectPixels({{96, 128, kLeft.r, kLeft.g, kLeft.b}, {160, 128, kRight.r, kRight.g, kRight.b},
                  {66, 66, kLeft.r, kLeft.g, kLeft.b}}, 1);
    expectPixels({{61, 128, 0, 0, 0}, {196, 128, 0, 0, 0}, {128, 196, 0, 0, 0}}, 0);

    // Mode 2: ambient 0.25 plus light 0.25 head-on gives half the texture;
    // a light behind the square leaves the ambient share only.
    actor->textureMode2 = true;
    draw(kQuarterAmbient, lightAt(100));
    expectPixels({{96, 128, 100, 50, 20}, {160, 128, 10, 30, 110}});
    draw(kQuarterAmbient, lightAt(-100));
    expectPixels({{96, 128, 50, 25, 10}});

    // Mode 3 (wins over mode 2): the picture's brightness tinted green, unlit,
    // opaque, every second row darker.
    actor->mesh = scene->makeQuadMesh("tex", scene->makeTexture({200, 200, 200}, {200, 200, 200}));
    actor->textureMode3 = true;
    draw(glm::vec4(0.0f), Light(glm::vec3(0), glm::vec4(0.0f), 0.0f));
    expectPixels({{128, 128, 50, 200, 70}, {128, 129, 35, 140, 49}});
    EXPECT_EQ(readPixel(0, 128, 128)[3], 255);
}

TEST_F(ActorRenderTest, ModeZeroLightsEachMaterialTerm) {
    REQUIRE_GL_CONTEXT();
    actor->mesh = scene->makeQuadMesh("plain", 0);
    FaceGroup* group = actor->mesh->getFaceGroup("plain");
    const glm::vec4 halfAmbient(0.5f, 0.5f, 0.5f, 1.0f);
    const Light dark = lightAt(100, 0.0f), front = lightAt(100, 0.5f), behind = lightAt(-100, 0.5f);
    const glm::vec4 o(0, 0, 0, 1);
    struct Case {
        const char* what;
        glm::vec4 Ka, Kd, Ks, Ke;
        const Light* light;
        int r, g, b;
    } cases[] = {
        {"ambient", {1, 0, 0, 1}, o, o, o, &dark, 128, 0, 0},
        {"emissive", o, o, o, {0.2f, 0.4f, 0.6f, 1}, &dark, 51, 102, 153},
        {"diffuse lit", o, {0, 1, 0, 1}, o, o, &front, 0, 128, 0},
        {"diffuse behind", o, {0, 1, 0, 1}, o, o, &behind, 0, 0, 0},
        {"specular", o, o, {0, 0, 1, 1}, o, &front, 0, 0, 128},
    };
    for (const Case& c : cases) {
        group->Ka = c.Ka;
        group->Kd = c.Kd;
        group->Ks = c.Ks;
        group->Ke = c.Ke;
        scene->clearWindow();
        draw(halfAmbient, *c.light);
        EXPECT_TRUE(colourIs({128, 128, c.r, c.g, c.b}, 2)) << c.what;
    }
    // Opacity and the colour bias.
    group->Ks = o;
    group->Ke = glm::vec4(1, 1, 1, 1);
    group->d = 0.5f;
    actor->colorBias = glm::vec4(0.5f, 1.0f, 0.25f, 1.0f);
    draw(halfAmbient, dark);
    expectPixels({{128, 128, 128, 255, 64}});
    EXPECT_NEAR(readPixel(0, 128, 128)[3], 128, 2);
}

TEST_F(ActorRenderTest, SwitchingBuffersOffReadsTheArraysInMemory) {
    REQUIRE_GL_CONTEXT();
    MeshHandler* mesh = actor->mesh = whiteQuad();
    FaceGroup* group = mesh->getFaceGroup("plain");
    // Move the square in memory only: the buffers still hold it in the middle.
    for (glm::vec4& v : *group->vertices) v.x += 1.5f;
    draw(kQuarterAmbient, lightAt(100), true);
    expectPixels({{100, 128, 255, 255, 255}, {220, 128, 0, 0, 0}}, 0);
    draw(kQuarterAmbient, lightAt(100), false);
    expectPixels({{100, 128, 0, 0, 0}, {220, 128, 255, 255, 255}}, 0);

    // A group without buffers (after reset, before new ones) draws from
    // memory even with buffers switched on.
    group->reset();
    testsupport::addQuadGroup(*mesh, "plain"); // refills the existing group
    draw(kQuarterAmbient, lightAt(100), true);
    expectPixels({{128, 128, 255, 255, 255}}, 0);
}

TEST_F(ActorRenderTest, ArraysShorterThanTheDrawAreNotRead) {
    REQUIRE_GL_CONTEXT();
    actor->mesh = scene->makeQuadMesh("plain", 0);
    FaceGroup* group = actor->mesh->getFaceGroup("plain");
    group->Ke = glm::vec4(1, 0, 0, 1);
    group->texCoords->clear();
    group->normals->clear();
    group->vbo[1] = group->vbo[2] = 0;
    draw(kQuarterAmbient, lightAt(100), false);
    expectPixels({{128, 128, 255, 0, 0}}, 0);
}

TEST_F(ActorRenderTest, BillboardFacesTheCamera) {
    REQUIRE_GL_CONTEXT();
    actor->mesh = whiteQuad();
    // Edge-on to the camera (the eye lies in the y-z plane). The camera
    // transform holds the projection too, which a billboard's block squares:
    // at 283 units a scale of 20 gives about 50 pixels.
    actor->rotationAngle = 90.0f;
    actor->setPosition(glm::vec3(0));
    actor->setScale(20.0f);
    draw(kQuarterAmbient, lightAt(100), true, &camera);
    expectPixels({{140, 128, 0, 0, 0}}, 0);
    actor->billboard = true;
    draw(kQuarterAmbient, lightAt(100), true, &camera);
    expectPixels({{128, 128, 255, 255, 255}, {140, 128, 255, 255, 255}, {128, 140, 255, 255, 255}}, 0);
}

} // namespace
