// Cameras and actors (numbers, transforms, keys, bodies and motion states)
// and what they draw with: shaders, programs and the resource registry.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/GenericMotionState.h"
#include "engine/HUDCamera.h"
#include "engine/Level.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "engine/ShaderHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "platform/Glfw2.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/ScopedWorkDir.h"

namespace {

const glm::vec3 kStart(0, -200, -200);
const glm::vec3 kY(0, 1, 0);

// Built here straight from GLM (radians), independent of the camera's code.
glm::mat4 expectedView(const glm::vec3& position, float angleDegrees, const glm::vec3& axis, float aspect) {
    glm::mat4 m = glm::perspective(glm::radians(45.0f), aspect, 0.1f, 10000.0f);
    m = glm::rotate(m, glm::radians(45.0f), glm::vec3(1, 0, 0));
    m = glm::translate(m, position);
    return glm::rotate(m, glm::radians(angleDegrees), axis);
}

void expectNear(const glm::vec4& actual, const glm::vec4& expected) {
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[r], expected[r], 1e-5f) << "component " << r;
}

void expectNear(const glm::mat4& actual, const glm::mat4& expected) {
    for (int c = 0; c < 4; ++c) expectNear(actual[c], expected[c]);
}

glm::vec3 toNdc(const glm::mat4& m, const glm::vec3& p) {
    const glm::vec4 clip = m * glm::vec4(p, 1.0f);
    return glm::vec3(clip) / clip.w;
}

TEST(CameraTest, NumbersTurnsAndPageKeys) {
    Engine::Camera camera(0, 0, 800, 600);
    expectNear(camera.transform, expectedView(kStart, 0, kY, 800.0f / 600.0f));
    EXPECT_FALSE(camera.isCulled(glm::vec3(0, 1e6f, 0), 1.0f)) << "a plain camera culls nothing";

    // Page Up turns first and moves after the transform is rebuilt.
    glfw2::seam::setKey(glfw2::KEY_PAGEUP, true);
    const glm::mat4 before = camera.transform;
    camera.update(0.5f);
    EXPECT_FLOAT_EQ(camera.angle, -2.0f);
    EXPECT_EQ(camera.axis, glm::vec3(0, 2, 0));
    EXPECT_EQ(camera.position, glm::vec3(0, -150, -150));
    expectNear(camera.transform, expectedView(kStart, -2.0f, kY, 800.0f / 600.0f));
    EXPECT_EQ(camera.previousTransform, before);
    glfw2::seam::reset();

    // rotate adds angle and axis; setPosition keeps the transform.
    Engine::Camera square(0, 0, 100, 100);
    square.rotate(30.0f, kY);
    square.rotate(15.0f, glm::vec3(0, 0, 1));
    EXPECT_FLOAT_EQ(square.angle, 45.0f);
    EXPECT_EQ(square.axis, glm::vec3(0, 2, 1));
    const glm::mat4 expected = expectedView(kStart, 45.0f, glm::normalize(glm::vec3(0, 2, 1)), 1.0f);
    expectNear(square.transform, expected);
    square.setPosition(glm::vec3(1, 2, 3));
    expectNear(square.transform, expected);
    // An empty viewport keeps the matrices finite.
    Engine::Camera flat(0, 0, 800, 0);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_TRUE(std::isfinite(flat.projection[c][r]) && std::isfinite(flat.transform[c][r]));
}

TEST(CameraTest, HudCameraMapsTheUnitSquareOntoItsViewportAndNeverMoves) {
    Engine::HUDCamera hud(0, 0, 640, 480);
    const std::pair<glm::vec3, glm::vec2> mapping[] = {{{0.5f, 0.5f, 0}, {0, 0}}, {{0, 0, 0}, {-1, -1}}, {{1, 1, 0}, {1, 1}}};
    for (const auto& [point, ndc] : mapping)
        EXPECT_LT(glm::length(glm::vec2(toNdc(hud.transform, point)) - ndc), 1e-6f) << point.x;
    EXPECT_LT(toNdc(hud.transform, kY).z, toNdc(hud.transform, glm::vec3(0, 1, -1)).z) << "a larger z is nearer";
    const glm::mat4 before = hud.transform;
    glfw2::seam::setKey(glfw2::KEY_PAGEUP, true);
    hud.update(1.0f);
    hud.rotate(90.0f, kY);
    glfw2::seam::reset();
    EXPECT_EQ(hud.transform, before);
    EXPECT_EQ(hud.previousTransform, glm::mat4(1.0f));
    EXPECT_FALSE(hud.isCulled(glm::vec3(0, 200, 200), 0.0f));
}

using ActorTest = testsupport::DrawingTest;

TEST_F(ActorTest, SharedProgramModelMatrixWithAnUnrotatedOffsetAndSize) {
    Engine::Actor actor, second;
    ASSERT_NE(actor.program, nullptr);
    EXPECT_EQ(second.program, actor.program) << "one shared program";
    actor.offset = glm::vec3(0, 5, 0);
    actor.rotationAngle = 90.0f;
    actor.setPosition(glm::vec3(1, 2, 3));
    expectNear(actor.modelMatrix[3], glm::vec4(1, 7, 3, 1));
    expectNear(actor.rotationMatrix * glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, -1, 0)); // +x to -z
    actor.setScale(glm::vec3(2, 3, 2));
    expectNear(actor.modelMatrix * glm::vec4(1, 1, 0, 1), glm::vec4(1, 10, 1, 1));

    EXPECT_EQ(second.getSize(), btVector3(0, 0, 0)) << "no mesh (its file failed to load)";
    EXPECT_EQ(second.getWidth(), 0.0f);
    MeshHandler mesh;
    mesh.minX = -1.0f, mesh.maxX = 3.0f, mesh.maxY = 0.5f, mesh.minZ = -4.0f, mesh.maxZ = 0.0f;
    second.mesh = &mesh;
    second.setScale(2.0f);
    EXPECT_EQ(second.getSize(), btVector3(6, 1, 0));
    EXPECT_FLOAT_EQ(second.getWidth(), 6.0f);
}

TEST_F(ActorTest, MotionStateRoundTripAndBodiesWrittenBackWithAxisXAtAngleZero) {
    Engine::Actor actor;
    actor.rotationAngle = 90.0f;
    actor.offset = glm::vec3(0, 9, 0);
    actor.setPosition(glm::vec3(4, 5, 6));
    Engine::GenericMotionState state(&actor);
    btTransform out;
    state.getWorldTransform(out);
    EXPECT_EQ(out.getOrigin(), btVector3(4, 5, 6)) << "without the offset";
    EXPECT_NEAR((out.getBasis() * btVector3(1, 0, 0)).z(), -1.0f, 1e-6f);
    btTransform in(btQuaternion(btVector3(0, 0, 1), 3.0f * SIMD_PI / 2.0f), btVector3(-1, 2, -3));
    state.setWorldTransform(in);
    EXPECT_EQ(actor.position, glm::vec3(-1, 2, -3));
    EXPECT_NEAR(actor.rotationAngle, 90.0f, 1e-3f) << "270 degrees about +z, or 90 about -z, in degrees";
    expectNear(actor.rotationMatrix * glm::vec4(1, 0, 0, 0), glm::vec4(0, -1, 0, 0));
    expectNear(actor.modelMatrix[3], glm::vec4(-1, 11, -3, 1));
    // A zero axis means no rotation, not a division by its length.
    actor.rotationAxis = glm::vec3(0);
    actor.setPosition(glm::vec3(1, 2, 3));
    EXPECT_EQ(actor.rotationMatrix, glm::mat4(1.0f));
    state.getWorldTransform(out);
    EXPECT_EQ(out.getRotation(), btQuaternion::getIdentity());

    // Without a shape no body, a shape without mass a static one. The level
    // (its world) goes before the actors, whose bodies are still in it.
    Engine::Actor shapeless, falling, resting;
    Engine::Level level;
    btDynamicsWorld* world = level.world.get();
    EXPECT_FALSE(shapeless.addToWorld(world));
    EXPECT_TRUE(shapeless.world == world && shapeless.rigidBody == nullptr) << "the world is kept";
    falling.mass = 10.0f;
    falling.collisionShape = new btSphereShape(1.0f);
    falling.setPosition(glm::vec3(0, 10, 0));
    resting.collisionShape = new btSphereShape(1.0f);
    resting.setPosition(glm::vec3(50, 0, 0));
    ASSERT_TRUE(falling.addToWorld(world) && resting.addToWorld(world));
    EXPECT_TRUE(resting.rigidBody->isStaticObject() && resting.rigidBody->getUserPointer() == &resting);
    EXPECT_FLOAT_EQ(falling.rigidBody->getInvMass(), 0.1f);
    EXPECT_NE(falling.localInertia, btVector3(0, 0, 0));
    for (int i = 0; i < 10; ++i) world->stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
    EXPECT_EQ(falling.rotationAxis, glm::vec3(1, 0, 0));
    EXPECT_FLOAT_EQ(falling.rotationAngle, 0.0f);
    EXPECT_LT(falling.position.y, 10.0f);
    EXPECT_FLOAT_EQ(falling.modelMatrix[3][1], falling.position.y);
    EXPECT_EQ(resting.rotationAxis, glm::vec3(0, 1, 0)) << "a static body is never written back";
}

const char* kGoodFrag = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";

// Works in "<scene>/a/b/c": files in "<scene>/a/b" are found only through
// "../", and the scene's own shaders three levels up are never reached.
class ShaderTest : public testsupport::DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        if (!scene) return;
        work = std::make_unique<testsupport::ScopedWorkDir>(scene->dir.path() + "/a/b/c");
        // The position declared last: the driver would give it location 2.
        write("shader/good.vert", "#version 120\nattribute vec2 uv;\nattribute vec3 normal;\nattribute vec4 vertex;\n"
                                  "varying vec3 c;\nvoid main() { c = normal + vec3(uv, 0.0); gl_Position = vertex; }\n");
        write("shader/good.frag", kGoodFrag);
    }
    void TearDown() override {
        work.reset();
        DrawingTest::TearDown();
    }
    void write(const std::string& rel, const std::string& text) { scene->dir.write("a/b/c/" + rel, text); }
    std::string logText() { return scene->logText("a/b/c/"); }
    bool build(ShaderProgramHandler& program, ShaderHandler& vert, ShaderHandler& frag) {
        program.addShader(&vert);
        program.addShader(&frag);
        return program.build();
    }
    static std::string builtLine(GLuint p) {
        return "ShaderProgramHandler: shader program built (" + std::to_string(p) + ")\n";
    }
    std::unique_ptr<testsupport::ScopedWorkDir> work;
};

TEST_F(ShaderTest, GoodShadersLinkWithThePositionAtAttributeZeroAndAreReleased) {
    GLuint shaderId = 0, programId = 0;
    {
        ShaderHandler vert("shader/good.vert"), frag("shader/good.frag");
        ShaderProgramHandler program;
        EXPECT_TRUE(build(program, vert, frag) && program.linked);
        // Compatibility contexts draw only with attribute 0 enabled.
        EXPECT_EQ(glGetAttribLocation(program.program, "vertex"), 0);
        EXPECT_EQ(logText(), "ShaderHandler: shader compiled (shader/good.vert)\n"
                             "ShaderHandler: shader compiled (shader/good.frag)\n" + builtLine(program.program));
        shaderId = vert.id, programId = program.program;
    }
    EXPECT_FALSE(glIsShader(shaderId) || glIsProgram(programId)) << "released";
}

// The head, the driver's non-empty log without a terminating zero, then the tail.
void expectFramed(const std::string& text, const std::string& head, const std::string& tail) {
    ASSERT_GT(text.size(), head.size() + tail.size()) << text;
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST_F(ShaderTest, CompileAndLinkErrorsAreLoggedAndTheProgramStillBuilt) {
    write("shader/bad.frag", "#version 120\nvoid main() { gl_FragColor = vec4(1.0) }\n");
    // Compiles, but the function is never defined: only the link fails.
    write("shader/unlinkable.frag", "#version 120\nvec4 f();\nvoid main() { gl_FragColor = f(); }\n");
    ShaderHandler vert("shader/good.vert"), bad("shader/bad.frag"), unlinkable("shader/unlinkable.frag");
    EXPECT_EQ(bad.id, 0u);
    ASSERT_NE(unlinkable.id, 0u);
    ShaderProgramHandler program, broken;
    EXPECT_TRUE(build(program, vert, bad));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the failed shader is not attached";
    expectFramed(logText(), "ShaderHandler: shader compiled (shader/good.vert)\n"
                            "ShaderHandler: compile error (shader/bad.frag):\n   ",
                 "\nShaderHandler: shader compiled (shader/bad.frag)\n"
                 "ShaderHandler: shader compiled (shader/unlinkable.frag)\n" + builtLine(program.program));
    EXPECT_TRUE(build(broken, vert, unlinkable));
    EXPECT_NE(broken.program, 0u);
    EXPECT_FALSE(broken.linked) << "drawing must know";
    expectFramed(logText(), "ShaderProgramHandler: build error:\n   ", "\n" + builtLine(broken.program));
}

TEST_F(ShaderTest, RegistryBuildsProgramsOnceAndCachesShadersAndMeshesByFoundPath) {
    write("shader/simple.frag", kGoodFrag);
    ShaderProgramHandler* program = ResourceRegistry::getProgram("simple");
    ASSERT_NE(program, nullptr);
    ASSERT_EQ(program->shaders->size(), 1u) << "only the shader that exists is attached";
    const std::string text = logText();
    EXPECT_NE(text.find("ResourceRegistry: shader file not found (shader/simple.vert)\n"), std::string::npos) << text;
    EXPECT_NE(text.find(builtLine(program->program)), std::string::npos) << text;

    EXPECT_EQ(ResourceRegistry::getProgram("simple"), program);
    EXPECT_EQ(ResourceRegistry::getProgram("Simple"), nullptr);
    EXPECT_EQ(logText(), "") << "built once; a wrong name loads nothing";

    scene->dir.write("a/b/shader/one.vert", "#version 120\nvoid main() { gl_Position = vec4(0.0); }\n");
    ShaderHandler* viaSearch = ResourceRegistry::getShader("shader/one.vert");
    ASSERT_NE(viaSearch, nullptr);
    EXPECT_EQ(ResourceRegistry::getShader("../shader/one.vert"), viaSearch);
    EXPECT_EQ(ResourceRegistry::getShader("shader/none.vert"), nullptr);
    EXPECT_EQ(ResourceRegistry::instance->shaders->size(), 2u) << "a missing file is not stored";
    EXPECT_EQ(logText(), "ShaderHandler: shader compiled (../shader/one.vert)\n");

    // Missing: named once however often it is asked for, and not stored.
    EXPECT_EQ(ResourceRegistry::getMesh("m/none.obj"), nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("m/none.obj"), nullptr);
    EXPECT_TRUE(ResourceRegistry::instance->meshes->empty());
    EXPECT_EQ(logText(), "ResourceRegistry: mesh file not found (m/none.obj)\n");
    scene->dir.write("a/b/m/tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    MeshHandler* mesh = ResourceRegistry::getMesh("m/tri.obj");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("../m/tri.obj"), mesh);
    EXPECT_EQ(logText(), "Loading... ../m/tri.obj\n");
    ASSERT_TRUE(mesh->hasFaceGroup("default"));
    for (GLuint buffer : mesh->getFaceGroup("default")->vbo) EXPECT_NE(buffer, 0u) << "buffers made";
    // A file without faces is stored, named once and not read again.
    write("m/empty.obj", "v 1 2 3\nusemtl x\n");
    MeshHandler* empty = ResourceRegistry::getMesh("m/empty.obj");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("m/empty.obj"), empty);
    EXPECT_EQ(logText(), "Loading... m/empty.obj\nResourceRegistry: mesh file holds no faces (m/empty.obj)\n");
}

} // namespace
