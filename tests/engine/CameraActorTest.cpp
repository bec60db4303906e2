// Cameras and actors: their numbers, transforms and keys, the actor's body
// and its motion state.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/GenericMotionState.h"
#include "engine/HUDCamera.h"
#include "engine/MeshHandler.h"
#include "platform/Glfw2.h"
#include "tests/support/DrawingScene.h"

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

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f) << c << "," << r;
}

glm::vec3 toNdc(const glm::mat4& m, const glm::vec3& p) {
    const glm::vec4 clip = m * glm::vec4(p, 1.0f);
    return glm::vec3(clip) / clip.w;
}

TEST(CameraTest, NumbersTurnsAndPageKeys) {
    glfw2::seam::reset();
    Engine::Camera camera(0, 0, 800, 600);
    EXPECT_FLOAT_EQ(camera.aspect, 1.3333334f);
    EXPECT_FLOAT_EQ(camera.nearHalfHeight, 0.041421358f);
    EXPECT_FLOAT_EQ(camera.nearHalfWidth, 0.05522848f);
    EXPECT_FLOAT_EQ(camera.farHalfHeight, 4142.1357f);
    EXPECT_FLOAT_EQ(camera.farHalfWidth, 5522.8477f);
    expectMatrixNear(camera.transform, expectedView(kStart, 0, kY, 800.0f / 600.0f));
    EXPECT_FALSE(camera.isCulled(glm::vec3(0, 1e6f, 0), 1.0f)) << "a plain camera culls nothing";

    // Page Up turns first and moves after the transform is rebuilt.
    glfw2::seam::setKey(glfw2::KEY_PAGEUP, true);
    const glm::mat4 before = camera.transform;
    camera.update(0.5f);
    EXPECT_FLOAT_EQ(camera.angle, -2.0f);
    EXPECT_EQ(camera.axis, glm::vec3(0, 2, 0));
    EXPECT_EQ(camera.position, glm::vec3(0, -150, -150));
    expectMatrixNear(camera.transform, expectedView(kStart, -2.0f, kY, 800.0f / 600.0f));
    EXPECT_EQ(camera.previousTransform, before);
    glfw2::seam::reset();

    // rotate adds angle and axis; setPosition keeps the transform.
    Engine::Camera square(0, 0, 100, 100);
    square.rotate(30.0f, kY);
    square.rotate(15.0f, glm::vec3(0, 0, 1));
    EXPECT_FLOAT_EQ(square.angle, 45.0f);
    EXPECT_EQ(square.axis, glm::vec3(0, 2, 1));
    const glm::mat4 expected = expectedView(kStart, 45.0f, glm::normalize(glm::vec3(0, 2, 1)), 1.0f);
    expectMatrixNear(square.transform, expected);
    square.setPosition(glm::vec3(1, 2, 3));
    expectMatrixNear(square.transform, expected);
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
    // A larger z is nearer the viewer; the depth range spans -9800..199.9.
    const auto depth = [&](float z) { return toNdc(hud.transform, glm::vec3(0.5f, 0.5f, z)).z; };
    EXPECT_LT(depth(1.0f), depth(0.0f));
    EXPECT_GE(depth(199.8f), -1.0f);
    EXPECT_LE(depth(-9799.0f), 1.0f);
    const glm::mat4 before = hud.transform;
    glfw2::seam::setKey(glfw2::KEY_PAGEUP, true);
    hud.update(1.0f);
    hud.rotate(90.0f, kY);
    glfw2::seam::reset();
    EXPECT_EQ(hud.transform, before);
    EXPECT_EQ(hud.previousTransform, glm::mat4(1.0f));
    EXPECT_FALSE(hud.isCulled(glm::vec3(0, 200, 200), 0.0f));
}

// A physics world of the kind the level makes. Declared after the actors,
// it takes their bodies out before they are deleted.
struct TestWorld {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    TestWorld() { world.setGravity(btVector3(0, -10, 0)); }
    ~TestWorld() {
        for (int i = world.getNumCollisionObjects() - 1; i >= 0; --i)
            world.removeCollisionObject(world.getCollisionObjectArray()[i]);
    }
};

using ActorTest = testsupport::DrawingTest;

void expectNear(const glm::vec4& actual, const glm::vec4& expected) {
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[r], expected[r], 1e-5f) << "component " << r;
}

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

    // Without a shape no body, a shape without mass a static one.
    Engine::Actor shapeless, falling, resting;
    TestWorld physics;
    EXPECT_FALSE(shapeless.addToWorld(&physics.world));
    EXPECT_TRUE(shapeless.world == &physics.world && shapeless.rigidBody == nullptr) << "the world is kept";
    falling.mass = 10.0f;
    falling.collisionShape = new btSphereShape(1.0f);
    falling.setPosition(glm::vec3(0, 10, 0));
    resting.collisionShape = new btSphereShape(1.0f);
    resting.setPosition(glm::vec3(50, 0, 0));
    ASSERT_TRUE(falling.addToWorld(&physics.world) && resting.addToWorld(&physics.world));
    EXPECT_TRUE(resting.rigidBody->isStaticObject() && resting.rigidBody->getUserPointer() == &resting);
    EXPECT_FLOAT_EQ(falling.rigidBody->getInvMass(), 0.1f);
    EXPECT_NE(falling.localInertia, btVector3(0, 0, 0));
    for (int i = 0; i < 10; ++i) physics.world.stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
    EXPECT_EQ(falling.rotationAxis, glm::vec3(1, 0, 0));
    EXPECT_FLOAT_EQ(falling.rotationAngle, 0.0f);
    EXPECT_LT(falling.position.y, 10.0f);
    EXPECT_FLOAT_EQ(falling.modelMatrix[3][1], falling.position.y);
    EXPECT_EQ(resting.rotationAxis, glm::vec3(0, 1, 0)) << "a static body is never written back";
}

} // namespace
