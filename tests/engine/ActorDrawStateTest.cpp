// Actor drawing: what reaches the shaders, which framebuffer it goes to,
// what OpenGL state it leaves, and when it draws nothing at all.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <glm/gtc/type_ptr.hpp>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/Globals.h"
#include "engine/HUDCamera.h"
#include "engine/Light.h"
#include "engine/MeshHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/GLContext.h"
#include "tests/support/OffscreenTarget.h"

using testsupport::DrawingScene;
using testsupport::readPixel;

namespace {

// A HUD camera that reports every sphere as outside and records the asks.
struct CullingCamera : Engine::HUDCamera {
    CullingCamera() : HUDCamera(0, 0, DrawingScene::kSize, DrawingScene::kSize) {}
    bool isCulled(glm::vec3 centre, float radius) override {
        ++asks;
        lastCentre = centre;
        lastRadius = radius;
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

glm::mat4 uniformMat4(GLuint program, const char* name) {
    glm::mat4 m(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(m));
    return m;
}

glm::vec4 uniformVec4(GLuint program, const char* name) {
    glm::vec4 v(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(v));
    return v;
}

GLint uniformInt(GLuint program, const char* name) {
    GLint v = -99;
    glGetUniformiv(program, glGetUniformLocation(program, name), &v);
    return v;
}

class ActorDrawStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::ensureGLContext()) GTEST_SKIP() << "no OpenGL context";
        scene = std::make_unique<DrawingScene>();
        scene->clearWindow();
        actor = std::make_unique<Engine::Actor>();
        actor->mesh = scene->makeQuadMesh("plain", 0);
        actor->mesh->getFaceGroup("plain")->Ke = glm::vec4(1, 1, 1, 1);
        actor->setPosition(glm::vec3(0.5f, 0.5f, 0.0f));
        actor->setScale(0.25f);
    }
    void TearDown() override {
        actor.reset();
        scene.reset();
    }
    bool drewMiddle(GLuint framebuffer = 0) { return readPixel(framebuffer, 128, 128)[0] == 255; }

    std::unique_ptr<DrawingScene> scene;
    std::unique_ptr<Engine::Actor> actor;
    Engine::HUDCamera hud{0, 0, DrawingScene::kSize, DrawingScene::kSize};
    glm::vec4 ambient{0.1f, 0.2f, 0.3f, 1.0f};
    Light light{glm::vec3(1, 2, 3), glm::vec4(0.4f, 0.5f, 0.6f, 1.0f), 50.0f};
};

TEST_F(ActorDrawStateTest, EveryUniformCarriesItsValue) {
    REQUIRE_GL_CONTEXT();
    FaceGroup* group = actor->mesh->getFaceGroup("plain");
    group->Ka = glm::vec4(0.1f, 0.2f, 0.3f, 1);
    group->Kd = glm::vec4(0.4f, 0.5f, 0.6f, 1);
    group->Ke = glm::vec4(0.7f, 0.8f, 0.9f, 1);
    group->Ks = glm::vec4(0.15f, 0.25f, 0.35f, 1);
    group->Ns = 42.0f;
    group->d = 0.75f;
    actor->rotationAngle = 30.0f;
    actor->colorBias = glm::vec4(0.9f, 0.8f, 0.7f, 0.6f);
    actor->setPosition(glm::vec3(0.5f, 0.5f, 1.0f));
    Engine::Camera camera(0, 0, DrawingScene::kSize, DrawingScene::kSize);
    camera.rotate(12.0f, glm::vec3(0, 1, 0));
    actor->render(&camera, ambient, light, true);

    const GLuint p = actor->program->program;
    EXPECT_EQ(uniformMat4(p, "cameraTransform"), camera.transform);
    EXPECT_EQ(uniformMat4(p, "worldTransform"), actor->modelMatrix);
    EXPECT_EQ(uniformMat4(p, "normalTransform"), actor->rotationMatrix);
    EXPECT_EQ(uniformVec4(p, "ambientLight"), ambient);
    EXPECT_EQ(glm::vec3(uniformVec4(p, "mainLightLocation")), light.position);
    EXPECT_EQ(uniformVec4(p, "mainLightColor"), light.color);
    EXPECT_EQ(uniformInt(p, "shaderMode"), 0);
    EXPECT_EQ(uniformVec4(p, "Ka"), group->Ka);
    EXPECT_EQ(uniformVec4(p, "Kd"), group->Kd);
    EXPECT_EQ(uniformVec4(p, "Ke"), group->Ke);
    EXPECT_EQ(uniformVec4(p, "Ks"), group->Ks);
    EXPECT_EQ(uniformVec4(p, "Ns").x, 42.0f);
    EXPECT_EQ(uniformVec4(p, "d").x, 0.75f);
    EXPECT_EQ(uniformVec4(p, "colorBias"), actor->colorBias);
    EXPECT_EQ(uniformVec4(p, "cameraLocation"), glm::vec4(camera.position, 0.0f));
}

TEST_F(ActorDrawStateTest, TexturedThenPlainGroupsTakeTheirOwnModes) {
    REQUIRE_GL_CONTEXT();
    // "a" sorts before "plain": textured first, then untextured.
    const GLuint texture = scene->makeTexture({255, 0, 0}, {255, 0, 0});
    MeshHandler* mesh = actor->mesh;
    testsupport::addQuadGroup(*mesh, "a");
    FaceGroup* a = mesh->getFaceGroup("a");
    a->hasTexture = true;
    a->textureId = texture;
    mesh->createVBOs();
    const GLuint p = actor->program->program;
    glUseProgram(p);
    glUniform1i(glGetUniformLocation(p, "textureData"), 3);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, 0);

    actor->textureMode2 = false;
    actor->render(&hud, ambient, light, true);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
    EXPECT_EQ(uniformInt(p, "textureData"), 0) << "set from the textured group";
    EXPECT_EQ(uniformInt(p, "shaderMode"), 0) << "the last group has no texture";

    // An untextured group alone touches neither the sampler nor the binding.
    mesh->faceGroups.erase("a");
    glUseProgram(p);
    glUniform1i(glGetUniformLocation(p, "textureData"), 3);
    glUseProgram(0);
    const GLuint other = scene->makeTexture({0, 0, 0}, {0, 0, 0});
    glBindTexture(GL_TEXTURE_2D, other);
    actor->render(&hud, ambient, light, true);
    EXPECT_EQ(uniformInt(p, "textureData"), 3);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other));
    delete a;
}

TEST_F(ActorDrawStateTest, TextureModeFlagsPickTheMode) {
    REQUIRE_GL_CONTEXT();
    FaceGroup* group = actor->mesh->getFaceGroup("plain");
    group->hasTexture = true;
    group->textureId = scene->makeTexture({9, 9, 9}, {9, 9, 9});
    const GLuint p = actor->program->program;
    struct { bool mode3, mode2; int expected; } cases[] = {
        {false, true, 2}, {false, false, 1}, {true, false, 3}, {true, true, 3}};
    for (const auto& c : cases) {
        actor->textureMode3 = c.mode3;
        actor->textureMode2 = c.mode2;
        actor->render(&hud, ambient, light, true);
        EXPECT_EQ(uniformInt(p, "shaderMode"), c.expected) << c.mode3 << c.mode2;
    }
}

TEST_F(ActorDrawStateTest, DrawingLeavesOnlyTheDocumentedStateBehind) {
    REQUIRE_GL_CONTEXT();
    actor->render(&hud, ambient, light, true);
    EXPECT_TRUE(drewMiddle());
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    for (const char* name : {"vertex", "texcoord", "normal"}) {
        const GLint location = glGetAttribLocation(actor->program->program, name);
        ASSERT_GE(location, 0) << name;
        GLint enabled = 1;
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, 0) << name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ActorDrawStateTest, OffscreenActorsGoToTheFramebufferWhileTheSwitchIsOn) {
    REQUIRE_GL_CONTEXT();
    testsupport::OffscreenTarget target(DrawingScene::kSize, DrawingScene::kSize);
    ASSERT_TRUE(target.complete());
    testsupport::clearFramebuffer(target.framebuffer(), 0, 0, 0, 0);
    offscreenFramebuffer = target.framebuffer();
    renderToOffscreen = true;

    // The radar-like actor without the flag goes to the window, in the same frame.
    Engine::Actor windowOnly;
    windowOnly.mesh = actor->mesh;
    windowOnly.drawOffscreen = false;
    windowOnly.setPosition(glm::vec3(0.5f, 0.9f, 0.0f));
    windowOnly.setScale(0.05f);

    actor->render(&hud, ambient, light, true);
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(target.framebuffer()))
        << "the framebuffer of the last draw stays bound";
    windowOnly.render(&hud, ambient, light, false);
    EXPECT_TRUE(drewMiddle(target.framebuffer()));
    EXPECT_FALSE(drewMiddle(0));
    EXPECT_EQ(readPixel(0, 128, 230)[0], 255);
    EXPECT_EQ(readPixel(target.framebuffer(), 128, 230)[0], 0);

    // Switch off: the same actor draws into the window.
    renderToOffscreen = false;
    testsupport::clearFramebuffer(target.framebuffer(), 0, 0, 0, 0);
    actor->render(&hud, ambient, light, false);
    EXPECT_TRUE(drewMiddle(0));
    EXPECT_FALSE(drewMiddle(target.framebuffer()));
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    offscreenFramebuffer = 0;
}

TEST_F(ActorDrawStateTest, InvisibleMeshlessAndCulledActorsTouchNothing) {
    REQUIRE_GL_CONTEXT();
    testsupport::OffscreenTarget target(8, 8);
    const GLuint texture = scene->makeTexture({1, 2, 3}, {1, 2, 3});
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    // Some state of someone else's that a draw would change.
    auto setState = [&] {
        glUseProgram(actor->program->program);
        glBindTexture(GL_TEXTURE_2D, texture);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer());
    };
    auto expectState = [&](const char* what) {
        EXPECT_EQ(integer(GL_CURRENT_PROGRAM), static_cast<GLint>(actor->program->program)) << what;
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture)) << what;
        EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffer)) << what;
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(target.framebuffer())) << what;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        EXPECT_FALSE(drewMiddle(0)) << what;
    };
    CullingCamera culling;
    scene->logText(); // drop the program's build messages

    actor->visible = false;
    setState();
    actor->render(&culling, ambient, light, true);
    EXPECT_EQ(culling.asks, 0) << "an invisible actor asks nothing";
    expectState("invisible");

    actor->visible = true;
    MeshHandler* mesh = actor->mesh;
    actor->mesh = nullptr;
    setState();
    actor->render(&culling, ambient, light, true);
    EXPECT_EQ(culling.asks, 0);
    expectState("no mesh");
    actor->mesh = mesh;

    frustumCullingOn = true;
    actor->offset = glm::vec3(5, 5, 5);
    actor->setScale(3.0f);
    setState();
    actor->render(&culling, ambient, light, true);
    EXPECT_EQ(culling.asks, 1);
    EXPECT_EQ(culling.lastCentre, glm::vec3(0.5f, 0.5f, 0.0f)) << "the position, without offset";
    EXPECT_EQ(culling.lastRadius, 1.5f) << "the mesh radius, not scaled";
    expectState("culled");
    EXPECT_EQ(scene->logText(), "Actor not rendered due to Frustum Culling\n");

    // Invisible and mesh-less actors logged nothing above; with culling off the
    // culled actor is drawn and nothing is logged.
    frustumCullingOn = false;
    actor->offset = glm::vec3(0);
    actor->setScale(0.25f);
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    actor->render(&culling, ambient, light, true);
    EXPECT_EQ(culling.asks, 2) << "asked whatever the setting";
    EXPECT_TRUE(drewMiddle(0));
    EXPECT_EQ(scene->logText(), "");
    glDeleteBuffers(1, &buffer);
}

TEST_F(ActorDrawStateTest, BillboardMatrixIsTheTransposedCameraBlockScaled) {
    REQUIRE_GL_CONTEXT();
    Engine::Camera camera(0, 0, DrawingScene::kSize, DrawingScene::kSize);
    camera.rotate(33.0f, glm::vec3(0, 1, 0));
    actor->billboard = true;
    actor->rotationAngle = 70.0f;
    actor->offset = glm::vec3(0, 1, 0);
    actor->setScale(2.0f);
    actor->setPosition(glm::vec3(3, 4, 5));
    actor->render(&camera, ambient, light, true);

    const glm::mat4 world = uniformMat4(actor->program->program, "worldTransform");
    EXPECT_EQ(world[3], glm::vec4(3, 5, 5, 1));
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            EXPECT_FLOAT_EQ(world[i][j], 2.0f * camera.transform[j][i]) << i << "," << j;
        EXPECT_EQ(world[i][3], 0.0f);
    }
    EXPECT_EQ(uniformMat4(actor->program->program, "normalTransform"), actor->rotationMatrix)
        << "the actor's own rotation still turns the normals";
}

} // namespace
