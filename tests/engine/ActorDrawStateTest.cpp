// Actor drawing: what reaches the shaders, which framebuffer it goes to,
// what OpenGL state it leaves, and when it draws nothing at all.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/Globals.h"
#include "engine/HUDCamera.h"
#include "engine/Light.h"
#include "engine/MeshHandler.h"
#include "engine/ShaderHandler.h"
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

// Eye at the origin looking down -z; culls a sphere wholly in front of the
// near plane or beyond the far plane, as a chase camera does.
struct NearFarCamera : Engine::Camera {
    NearFarCamera() : Camera(0, 0, DrawingScene::kSize, DrawingScene::kSize) {
        transform = glm::perspective(glm::radians(fov), 1.0f, zNear, zFar);
    }
    bool isCulled(glm::vec3 centre, float radius) override {
        const float depth = -centre.z;
        return depth + radius < zNear || depth - radius > zFar;
    }
};

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

template <typename T>
T uniform(GLuint program, const char* name) {
    T value(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(value));
    return value;
}

GLint uniformInt(GLuint program, const char* name) {
    GLint v = -99;
    glGetUniformiv(program, glGetUniformLocation(program, name), &v);
    return v;
}

void setSampler(GLuint program, GLint unit) {
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "textureData"), unit);
    glUseProgram(0);
}

// A white-emitting square over the middle of the HUD square.
class ActorDrawStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        scene = std::make_unique<DrawingScene>();
        scene->clearWindow();
        actor = std::make_unique<Engine::Actor>();
        actor->mesh = scene->makeQuadMesh("plain", 0);
        group()->Ke = glm::vec4(1, 1, 1, 1);
        actor->setPosition(glm::vec3(0.5f, 0.5f, 0.0f));
        actor->setScale(0.25f);
    }
    void TearDown() override {
        actor.reset();
        scene.reset();
    }
    FaceGroup* group() { return actor->mesh->getFaceGroup("plain"); }
    GLuint program() { return actor->program->program; }
    void draw(Engine::Camera* camera, bool vbo = true) { actor->render(camera, ambient, light, vbo); }
    bool drewMiddle(GLuint framebuffer = 0) { return readPixel(framebuffer, 128, 128)[0] == 255; }

    std::unique_ptr<DrawingScene> scene;
    std::unique_ptr<Engine::Actor> actor;
    Engine::HUDCamera hud{0, 0, DrawingScene::kSize, DrawingScene::kSize};
    Engine::Camera camera{0, 0, DrawingScene::kSize, DrawingScene::kSize};
    glm::vec4 ambient{0.1f, 0.2f, 0.3f, 1.0f};
    Light light{glm::vec3(1, 2, 3), glm::vec4(0.4f, 0.5f, 0.6f, 1.0f), 50.0f};
};

// The material terms, lights and colour bias are checked by their colours in
// ActorRenderTest; here what the pictures there cannot tell apart.
TEST_F(ActorDrawStateTest, CameraLightAndShininessUniforms) {
    REQUIRE_GL_CONTEXT();
    group()->Ns = 42.0f;
    actor->rotationAngle = 30.0f;
    actor->setPosition(glm::vec3(0.5f, 0.5f, 1.0f));
    camera.rotate(12.0f, glm::vec3(0, 1, 0));
    draw(&camera);
    const GLuint p = program();
    EXPECT_EQ(uniform<glm::mat4>(p, "cameraTransform"), camera.transform);
    EXPECT_EQ(uniform<glm::mat4>(p, "worldTransform"), actor->modelMatrix);
    EXPECT_EQ(uniform<glm::mat4>(p, "normalTransform"), actor->rotationMatrix);
    EXPECT_EQ(uniformInt(p, "shaderMode"), 0);
    EXPECT_EQ(glm::vec3(uniform<glm::vec4>(p, "mainLightLocation")), light.position);
    EXPECT_EQ(glm::vec3(uniform<glm::vec4>(p, "cameraLocation")), camera.position);
    EXPECT_EQ(uniform<glm::vec4>(p, "Ns").x, 42.0f);
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
    setSampler(program(), 3);
    glBindTexture(GL_TEXTURE_2D, 0);
    actor->textureMode2 = false;
    draw(&hud);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
    EXPECT_EQ(uniformInt(program(), "textureData"), 0) << "set from the textured group";
    EXPECT_EQ(uniformInt(program(), "shaderMode"), 0) << "the last group has no texture";

    // An untextured group alone touches neither the sampler nor the binding.
    mesh->faceGroups.erase("a");
    delete a;
    setSampler(program(), 3);
    const GLuint other = scene->makeTexture({0, 0, 0}, {0, 0, 0});
    glBindTexture(GL_TEXTURE_2D, other);
    draw(&hud);
    EXPECT_EQ(uniformInt(program(), "textureData"), 3);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other));
}

TEST_F(ActorDrawStateTest, DrawingLeavesOnlyTheDocumentedStateBehind) {
    REQUIRE_GL_CONTEXT();
    draw(&hud);
    EXPECT_TRUE(drewMiddle());
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    for (const char* name : {"vertex", "texcoord", "normal"}) {
        const GLint location = glGetAttribLocation(program(), name);
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
    const GLuint fbo = target.framebuffer();
    testsupport::clearFramebuffer(fbo, 0, 0, 0, 0);
    offscreenFramebuffer = fbo;
    offscreenComplete = true;
    renderToOffscreen = true;

    // The radar-like actor without the flag goes to the window, in the same frame.
    Engine::Actor windowOnly;
    windowOnly.mesh = actor->mesh;
    windowOnly.drawOffscreen = false;
    windowOnly.setPosition(glm::vec3(0.5f, 0.9f, 0.0f));
    windowOnly.setScale(0.05f);
    draw(&hud);
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(fbo)) << "the last draw's stays bound";
    windowOnly.render(&hud, ambient, light, false);
    EXPECT_TRUE(drewMiddle(fbo));
    EXPECT_FALSE(drewMiddle(0));
    EXPECT_EQ(readPixel(0, 128, 230)[0], 255);
    EXPECT_EQ(readPixel(fbo, 128, 230)[0], 0);

    // Switch off: the same actor draws into the window.
    renderToOffscreen = false;
    testsupport::clearFramebuffer(fbo, 0, 0, 0, 0);
    draw(&hud, false);
    EXPECT_TRUE(drewMiddle(0));
    EXPECT_FALSE(drewMiddle(fbo));
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    offscreenFramebuffer = 0;
}

TEST_F(ActorDrawStateTest, IncompleteOffscreenFramebufferIsNeverBound) {
    REQUIRE_GL_CONTEXT();
    // Start-up's framebuffer without a size: incomplete, so never complete.
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    ASSERT_NE(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    offscreenFramebuffer = fbo;
    renderToOffscreen = true;
    while (glGetError() != GL_NO_ERROR) {}
    for (bool vbo : {true, false}) {
        scene->clearWindow();
        draw(&hud, vbo);
        EXPECT_TRUE(drewMiddle(0)) << "drawn into the window instead";
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    glDeleteFramebuffers(1, &fbo);
}

TEST_F(ActorDrawStateTest, ProgramsThatCannotDrawMakeNoFailingCall) {
    REQUIRE_GL_CONTEXT();
    // A link that failed, and programs without one or all of the attributes
    // (a missing vertex shader, or one the optimiser stripped).
    scene->dir.write("shader/bare.vert", "#version 120\nvoid main() { gl_Position = vec4(0.0); }\n");
    scene->dir.write("shader/plain.frag", "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    scene->dir.write("shader/unlinkable.frag",
                     "#version 120\nvec4 paint();\nvoid main() { gl_FragColor = paint(); }\n");
    ShaderHandler bare("shader/bare.vert"), plain("shader/plain.frag"),
        unlinkable("shader/unlinkable.frag");
    ShaderProgramHandler failed, noVertexShader, noAttributes;
    failed.addShader(&bare);
    failed.addShader(&unlinkable);
    noVertexShader.addShader(&plain);
    noAttributes.addShader(&bare);
    noAttributes.addShader(&plain);
    for (ShaderProgramHandler* p : {&failed, &noVertexShader, &noAttributes}) p->build();
    ASSERT_FALSE(failed.linked);
    ASSERT_TRUE(noVertexShader.linked && noAttributes.linked);
    scene->logText();

    ShaderProgramHandler* const programs[] = {&failed, &noVertexShader, &noAttributes};
    for (ShaderProgramHandler* p : programs) {
        actor->program = p;
        while (glGetError() != GL_NO_ERROR) {}
        for (bool vbo : {true, false}) draw(&hud, vbo);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << p->program;
        EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0) << p->program;
    }
    EXPECT_EQ(scene->logText(), "") << "their faults were told when they were built";
}

TEST_F(ActorDrawStateTest, CullingTakesTheRadiusTimesTheLargestScale) {
    REQUIRE_GL_CONTEXT();
    // A floor strip below the eye, stretched along z by 20 (radius 1.5 * 20):
    // its centre is 5 units behind the eye, past the near plane, while most of
    // it lies in front and covers the lower middle of the picture.
    NearFarCamera camera;
    frustumCullingOn = true;
    actor->rotationAngle = 90.0f;
    actor->rotationAxis = glm::vec3(1, 0, 0);
    actor->setScale(glm::vec3(5.0f, -20.0f, 1.0f));
    actor->setPosition(glm::vec3(0.0f, -1.0f, 5.0f));
    scene->logText();
    draw(&camera);
    EXPECT_EQ(readPixel(0, 128, 80)[0], 255) << "culled by the radius as stored";
    EXPECT_EQ(scene->logText(), "");

    // Wholly behind the near plane, it is culled.
    actor->setPosition(glm::vec3(0.0f, -1.0f, 31.0f));
    scene->clearWindow();
    draw(&camera);
    EXPECT_EQ(readPixel(0, 128, 80)[0], 0);
    EXPECT_EQ(scene->logText(), "Actor not rendered due to Frustum Culling\n");
}

TEST_F(ActorDrawStateTest, InvisibleMeshlessAndCulledActorsTouchNothing) {
    REQUIRE_GL_CONTEXT();
    testsupport::OffscreenTarget target(8, 8);
    CullingCamera culling;
    MeshHandler* mesh = actor->mesh;
    scene->logText(); // drop the program's build messages
    frustumCullingOn = true;
    actor->offset = glm::vec3(0, 0, 5); // still covers the middle
    actor->setScale(glm::vec3(1.0f, 3.0f, -2.0f));
    struct { const char* what; bool visible; bool hasMesh; int asks; } cases[] = {
        {"invisible", false, true, 0}, {"no mesh", true, false, 0}, {"culled", true, true, 1}};
    for (const auto& c : cases) {
        actor->visible = c.visible;
        actor->mesh = c.hasMesh ? mesh : nullptr;
        // Some state of someone else's that a draw would change.
        glUseProgram(program());
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer());
        draw(&culling);
        EXPECT_EQ(culling.asks, c.asks) << c.what;
        EXPECT_EQ(integer(GL_CURRENT_PROGRAM), static_cast<GLint>(program())) << c.what;
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(target.framebuffer())) << c.what;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        EXPECT_FALSE(drewMiddle(0)) << c.what;
    }
    EXPECT_EQ(culling.lastCentre, glm::vec3(0.5f, 0.5f, 0.0f)) << "the position, without offset";
    EXPECT_EQ(culling.lastRadius, 4.5f) << "the mesh radius times the largest scale";
    EXPECT_EQ(scene->logText(), "Actor not rendered due to Frustum Culling\n");

    // With culling off the actor is still asked, is drawn, and nothing is logged.
    frustumCullingOn = false;
    draw(&culling);
    EXPECT_EQ(culling.asks, 2);
    EXPECT_TRUE(drewMiddle(0));
    EXPECT_EQ(scene->logText(), "");

    // Culled again, by this or another camera, frame after frame: still not
    // drawn, but the log heard about this actor once. Another actor is told
    // the first time it is culled.
    frustumCullingOn = true;
    CullingCamera other;
    scene->clearWindow();
    for (int frame = 0; frame < 3; ++frame)
        for (CullingCamera* c : {&culling, &other}) draw(c);
    EXPECT_EQ(culling.asks + other.asks, 2 + 6);
    EXPECT_FALSE(drewMiddle(0));
    EXPECT_EQ(scene->logText(), "");
    Engine::Actor second;
    second.mesh = mesh;
    second.render(&other, ambient, light, true);
    second.render(&culling, ambient, light, true);
    EXPECT_EQ(scene->logText(), "Actor not rendered due to Frustum Culling\n");
}

TEST_F(ActorDrawStateTest, BillboardMatrixIsTheTransposedCameraBlockScaled) {
    REQUIRE_GL_CONTEXT();
    camera.rotate(33.0f, glm::vec3(0, 1, 0));
    actor->billboard = true;
    actor->rotationAngle = 70.0f;
    actor->offset = glm::vec3(0, 1, 0);
    actor->setScale(2.0f);
    actor->setPosition(glm::vec3(3, 4, 5));
    draw(&camera);

    const glm::mat4 world = uniform<glm::mat4>(program(), "worldTransform");
    EXPECT_EQ(world[3], glm::vec4(3, 5, 5, 1));
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            EXPECT_FLOAT_EQ(world[i][j], 2.0f * camera.transform[j][i]) << i << "," << j;
        EXPECT_EQ(world[i][3], 0.0f);
    }
    EXPECT_EQ(uniform<glm::mat4>(program(), "normalTransform"), actor->rotationMatrix)
        << "the actor's own rotation still turns the normals";
}

} // namespace
