// The actor's transform, model matrix, size, rigid body and motion state.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cmath>

#include <btBulletDynamicsCommon.h>

#include "engine/Actor.h"
#include "engine/GenericMotionState.h"
#include "engine/MeshHandler.h"
#include "tests/support/DrawingScene.h"

namespace {

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
