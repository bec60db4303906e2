// Actor drawing read back from the window: where a model lands, its colour in
// each shader mode, the framebuffer it goes to, and when it draws nothing.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/Globals.h"
#include "engine/HUDCamera.h"
#include "engine/Light.h"
#include "engine/MeshHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "engine/Startup.h"
#include "tests/support/DrawingScene.h"

using testsupport::DrawingScene;
using testsupport::Rgb;

namespace {

constexpr Rgb kLeft{200, 100, 40};
constexpr Rgb kRight{20, 60, 220};
const glm::vec4 kQuarter(0.25f, 0.25f, 0.25f, 1.0f);

struct Pixel { int x, y, r, g, b; };

// A HUD camera that reports every sphere as outside and records the asks.
struct CullingCamera : Engine::HUDCamera {
    CullingCamera() : HUDCamera(0, 0, DrawingScene::kSize, DrawingScene::kSize) {}
    bool isCulled(glm::vec3 centre, float radius) override {
        ++asks, lastCentre = centre, lastRadius = radius;
        return true;
    }
    int asks = 0;
    glm::vec3 lastCentre{0.0f};
    float lastRadius = 0.0f;
};

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// A light straight in front of the HUD plane (z = +100) or behind it.
Light lightAt(float z, float strength = 0.25f) {
    return Light(glm::vec3(0.5f, 0.5f, z), glm::vec4(strength, strength, strength, 1.0f), 200.0f);
}

// By default a white-emitting square over the middle half of the window (64..192).
class ActorDrawTest : public testsupport::DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        if (!scene) return;
        scene->clearWindow();
        actor = std::make_unique<Engine::Actor>();
        actor->mesh = scene->makeQuadMesh("plain", 0);
        group()->Ke = glm::vec4(1, 1, 1, 1);
        actor->setPosition(glm::vec3(0.5f, 0.5f, 0.0f));
        actor->setScale(0.25f);
    }
    void TearDown() override {
        actor.reset();
        DrawingTest::TearDown();
    }
    FaceGroup* group() { return actor->mesh->getFaceGroup("plain"); }
    void draw(const glm::vec4& ambient, const Light& light, bool vbo = true, Engine::Camera* through = nullptr) {
        scene->clearWindow();
        actor->render(through ? through : &hud, ambient, light, vbo);
    }
    void draw(Engine::Camera* camera = nullptr, bool vbo = true) { draw(kQuarter, lightAt(100), vbo, camera); }
    void expectPixels(std::initializer_list<Pixel> pixels, int tolerance = 2, const char* what = "") {
        for (const Pixel& p : pixels) {
            const auto a = scene->pixel(p.x, p.y);
            EXPECT_LE(std::max({std::abs(a[0] - p.r), std::abs(a[1] - p.g), std::abs(a[2] - p.b)}), tolerance)
                << what << " at " << p.x << "," << p.y << " got " << a[0] << "," << a[1] << "," << a[2];
        }
    }
    bool drewMiddle(GLuint framebuffer = 0) { return scene->pixel(128, 128, framebuffer)[0] == 255; }
    // Window pixel of a world point seen through the camera, with its colour.
    Pixel pixelOf(const glm::vec3& world, int r, int g, int b) {
        const glm::vec4 clip = camera.transform * glm::vec4(world, 1.0f);
        return {int((clip.x / clip.w + 1.0f) * 128.0f), int((clip.y / clip.w + 1.0f) * 128.0f), r, g, b};
    }

    std::unique_ptr<Engine::Actor> actor;
    Engine::HUDCamera hud{0, 0, DrawingScene::kSize, DrawingScene::kSize};
    Engine::Camera camera{0, 0, DrawingScene::kSize, DrawingScene::kSize};
};

TEST_F(ActorDrawTest, TexturedModelLandsWhereTheCameraPutsItWithAndWithoutBuffers) {
    actor->mesh = scene->makeQuadMesh("tex", scene->makeTexture(kLeft, kRight));
    actor->setPosition(glm::vec3(0));
    actor->setScale(40.0f);
    draw(&camera);
    // texture * (ambient + light * diffuse), diffuse about 0.98 at 20 units
    // beside a light 100 units in front; nothing beyond the edges at +-40.
    expectPixels({pixelOf({-20, 0, 0}, 99, 50, 20), pixelOf({20, 10, 0}, 10, 30, 109)}, 4);
    expectPixels({pixelOf({48, 0, 0}, 0, 0, 0), pixelOf({0, 48, 0}, 0, 0, 0), pixelOf({-48, -48, 0}, 0, 0, 0)}, 0);

    // Turned and moved, buffers and memory give the same picture.
    actor->rotationAngle = 30.0f;
    actor->setPosition(glm::vec3(10, 0, 0));
    draw(&camera);
    const auto withBuffers = scene->readAll();
    draw(&camera, false);
    EXPECT_TRUE(withBuffers == scene->readAll());
    EXPECT_GT(scene->pixel(pixelOf({10, 0, 0}, 0, 0, 0).x, 128)[0], 0) << "the picture is not empty";
}

TEST_F(ActorDrawTest, EachShaderModeGivesItsColour) {
    // Mode 0: each material term alone, lit by half ambient and a light.
    const glm::vec4 half(0.5f, 0.5f, 0.5f, 1.0f), o(0, 0, 0, 1);
    const Light dark = lightAt(100, 0.0f), front = lightAt(100, 0.5f), behind = lightAt(-100, 0.5f);
    const struct { const char* what; glm::vec4 Ka, Kd, Ks, Ke; const Light* light; int r, g, b; } cases[] = {
        {"ambient", {1, 0, 0, 1}, o, o, o, &dark, 128, 0, 0},
        {"emissive", o, o, o, {0.2f, 0.4f, 0.6f, 1}, &dark, 51, 102, 153},
        {"diffuse lit", o, {0, 1, 0, 1}, o, o, &front, 0, 128, 0},
        {"diffuse behind", o, {0, 1, 0, 1}, o, o, &behind, 0, 0, 0},
        {"specular", o, o, {0, 0, 1, 1}, o, &front, 0, 0, 128}};
    for (const auto& c : cases) {
        group()->Ka = c.Ka, group()->Kd = c.Kd, group()->Ks = c.Ks, group()->Ke = c.Ke;
        draw(half, *c.light);
        expectPixels({{128, 128, c.r, c.g, c.b}}, 2, c.what);
    }
    // Opacity and the colour bias.
    group()->Ks = o;
    group()->Ke = glm::vec4(1, 1, 1, 1);
    group()->d = 0.5f;
    actor->colorBias = glm::vec4(0.5f, 1.0f, 0.25f, 1.0f);
    draw(half, dark);
    expectPixels({{128, 128, 128, 255, 64}});
    EXPECT_NEAR(scene->pixel(128, 128)[3], 128, 2);

    // Mode 1: the texture unlit, over 0.25..0.75 of the viewport only.
    actor->colorBias = glm::vec4(1.0f);
    actor->mesh = scene->makeQuadMesh("tex", scene->makeTexture(kLeft, kRight));
    actor->textureMode2 = false;
    draw();
    expectPixels({{96, 128, kLeft.r, kLeft.g, kLeft.b}, {160, 128, kRight.r, kRight.g, kRight.b}}, 1);
    expectPixels({{61, 128, 0, 0, 0}, {196, 128, 0, 0, 0}, {128, 196, 0, 0, 0}}, 0);
    // Mode 2 (lit head-on above): a light behind leaves the ambient share only.
    actor->textureMode2 = true;
    draw(kQuarter, lightAt(-100));
    expectPixels({{96, 128, 50, 25, 10}});
    // Mode 3 (wins over mode 2): the picture's brightness tinted green,
    // unlit, opaque, every second row darker.
    actor->mesh = scene->makeQuadMesh("tex", scene->makeTexture({200, 200, 200}, {200, 200, 200}));
    actor->textureMode3 = true;
    draw(glm::vec4(0.0f), Light(glm::vec3(0), glm::vec4(0.0f), 0.0f));
    expectPixels({{128, 128, 50, 200, 70}, {128, 129, 35, 140, 49}});
    EXPECT_EQ(scene->pixel(128, 128)[3], 255);
}

TEST_F(ActorDrawTest, WithoutBuffersTheArraysInMemoryAreReadAndNeverPastTheirEnd) {
    // Moved in memory only: the buffers still hold the square in the middle.
    for (glm::vec4& v : *group()->vertices) v.x += 1.5f;
    draw(nullptr, true);
    expectPixels({{100, 128, 255, 255, 255}, {220, 128, 0, 0, 0}}, 0);
    draw(nullptr, false);
    expectPixels({{100, 128, 0, 0, 0}, {220, 128, 255, 255, 255}}, 0);
    // A group without buffers (after a reset) draws from memory anyway.
    group()->reset();
    testsupport::addQuadGroup(*actor->mesh, "plain");
    draw(nullptr, true);
    expectPixels({{128, 128, 255, 255, 255}}, 0);
    // Texture coordinates and normals shorter than the vertices are not read.
    group()->Ke = glm::vec4(1, 0, 0, 1);
    group()->texCoords->clear();
    group()->normals->clear();
    draw(nullptr, false);
    expectPixels({{128, 128, 255, 0, 0}}, 0);
}

TEST_F(ActorDrawTest, BillboardFacesTheCamera) {
    // Edge-on to the camera; facing it, about 50 pixels wide.
    actor->rotationAngle = 90.0f;
    actor->setPosition(glm::vec3(0));
    actor->setScale(20.0f);
    draw(&camera);
    expectPixels({{140, 128, 0, 0, 0}}, 0);
    actor->billboard = true;
    draw(&camera);
    expectPixels({{128, 128, 255, 255, 255}, {140, 128, 255, 255, 255}, {128, 140, 255, 255, 255}}, 0);
}

TEST_F(ActorDrawTest, OffscreenActorsGoToTheCompleteFramebufferWhileTheSwitchIsOn) {
    const GLuint fbo = scene->makeOffscreenFramebuffer();
    ASSERT_TRUE(offscreenComplete);
    renderToOffscreen = true;
    // The radar-like actor without the flag goes to the window, in the same frame.
    Engine::Actor windowOnly;
    windowOnly.mesh = actor->mesh;
    windowOnly.drawOffscreen = false;
    windowOnly.setPosition(glm::vec3(0.5f, 0.9f, 0.0f));
    windowOnly.setScale(0.05f);
    draw();
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), GLint(fbo)) << "the last draw's stays bound";
    windowOnly.render(&hud, kQuarter, lightAt(100), false);
    EXPECT_TRUE(drewMiddle(fbo) && !drewMiddle(0));
    EXPECT_TRUE(scene->pixel(128, 230)[0] == 255 && scene->pixel(128, 230, fbo)[0] == 0);
    // Switched off, or the framebuffer incomplete: into the window.
    renderToOffscreen = false;
    scene->clearWindow(0, 0, 0, 0, fbo);
    draw(nullptr, false);
    EXPECT_TRUE(drewMiddle(0) && !drewMiddle(fbo));
    renderToOffscreen = true;
    offscreenComplete = false;
    for (bool vbo : {true, false}) {
        draw(nullptr, vbo);
        EXPECT_TRUE(drewMiddle(0) && !drewMiddle(fbo) && integer(GL_FRAMEBUFFER_BINDING) == 0) << vbo;
    }
}

TEST_F(ActorDrawTest, InvisibleMeshlessAndCulledActorsTouchNothing) {
    CullingCamera culling;
    MeshHandler* mesh = actor->mesh;
    createOffscreenFramebuffer(8, 8);
    scene->logText(); // drop the program's build messages
    actor->offset = glm::vec3(0, 0, 5); // still covers the middle
    actor->setScale(glm::vec3(1.0f, 3.0f, -2.0f));
    const struct { const char* what; bool visible; bool hasMesh; int asks; } cases[] = {
        {"invisible", false, true, 0}, {"no mesh", true, false, 0}, {"culled", true, true, 1}};
    for (const auto& c : cases) {
        actor->visible = c.visible;
        actor->mesh = c.hasMesh ? mesh : nullptr;
        // Some state of someone else's that a draw would change.
        glUseProgram(actor->program->program);
        glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
        actor->render(&culling, kQuarter, lightAt(100), true);
        EXPECT_EQ(culling.asks, c.asks) << c.what;
        EXPECT_EQ(integer(GL_CURRENT_PROGRAM), GLint(actor->program->program)) << c.what;
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), GLint(offscreenFramebuffer)) << c.what;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        EXPECT_FALSE(drewMiddle(0)) << c.what;
    }
    EXPECT_EQ(culling.lastCentre, glm::vec3(0.5f, 0.5f, 0.0f)) << "the position, without offset";
    // A prop drawn at a large scale must not vanish while still in view.
    EXPECT_EQ(culling.lastRadius, 4.5f) << "the mesh radius times the largest scale";
    EXPECT_EQ(scene->logText(), "Actor not rendered due to Frustum Culling\n");
    // With culling off the actor is still asked, is drawn, and nothing is logged.
    frustumCullingOn = false;
    actor->render(&culling, kQuarter, lightAt(100), true);
    EXPECT_EQ(culling.asks, 2);
    EXPECT_TRUE(drewMiddle(0));
    EXPECT_EQ(scene->logText(), "");
    // Culled again frame after frame: the log heard about this actor once;
    // another actor is told the first time it is culled.
    frustumCullingOn = true;
    for (int frame = 0; frame < 3; ++frame) actor->render(&culling, kQuarter, lightAt(100), true);
    EXPECT_EQ(scene->logText(), "");
    Engine::Actor second;
    second.mesh = mesh;
    second.program = actor->program;
    for (int frame = 0; frame < 2; ++frame) second.render(&culling, kQuarter, lightAt(100), true);
    EXPECT_EQ(culling.asks, 2 + 3 + 2);
    EXPECT_EQ(scene->logText(), "Actor not rendered due to Frustum Culling\n");
}

} // namespace
