// The actor's transform, model matrix, size, rigid body and motion state.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cmath>

#include <btBulletDynamicsCommon.h>

#include "engine/Actor.h"
#include "engine/GenericMotionState.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"
#include "tests/support/TexturedQuad.h"

namespace {

// A physics world of the kind the level makes. Declare it after the actors:
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

struct WatchedSphere : btSphereShape {
    explicit WatchedSphere(bool* gone) : btSphereShape(1.0f), gone(gone) {}
    ~WatchedSphere() override { *gone = true; }
    bool* gone;
};

struct CountingActor : Engine::Actor {
    void updateModelMatrix() override {
        ++modelUpdates;
        Actor::updateModelMatrix();
    }
    void onTransformChanged() override { ++transformChanges; }
    int modelUpdates = 0;
    int transformChanges = 0;
};

class ActorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResourceRegistry::resetForTests();
        Log::destroy();
        testsupport::installShaders();
    }
    void TearDown() override {
        ResourceRegistry::resetForTests();
        Log::destroy();
    }
    testsupport::TempDir dir;
};

void expectNear(const glm::vec4& actual, const glm::vec4& expected, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[r], expected[r], tolerance) << "component " << r;
}

TEST_F(ActorTest, SharedProgramAndModelMatrixWithAnUnrotatedOffset) {
    REQUIRE_GL_CONTEXT();
    Engine::Actor actor, second;
    ASSERT_NE(actor.program, nullptr);
    EXPECT_EQ(actor.program, ResourceRegistry::getProgram("simple")) << "one shared program";
    EXPECT_EQ(second.program, actor.program);
    actor.offset = glm::vec3(0, 5, 0);
    actor.rotationAngle = 90.0f;
    actor.setPosition(glm::vec3(1, 2, 3));
    expectNear(actor.modelMatrix[3], glm::vec4(1, 7, 3, 1));
    EXPECT_EQ(actor.rotationMatrix[3], glm::vec4(0, 0, 0, 1));
    // 90 degrees about +y turns +x to -z.
    expectNear(actor.rotationMatrix * glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, -1, 0));
    actor.setScale(2.0f);
    expectNear(actor.modelMatrix * glm::vec4(1, 0, 0, 1), glm::vec4(1, 7, 1, 1));
    actor.setScale(glm::vec3(1, 3, 1));
    EXPECT_NEAR((actor.modelMatrix * glm::vec4(0, 1, 0, 1)).y, 10.0f, 1e-5f);

    // The body's origin is the position without the offset.
    TestWorld physics;
    actor.collisionShape = new btBoxShape(btVector3(1, 1, 1));
    ASSERT_TRUE(actor.addToWorld(&physics.world));
    EXPECT_EQ(actor.rigidBody->getWorldTransform().getOrigin(), btVector3(1, 2, 3));
}

TEST_F(ActorTest, SettersAndMotionStateGoThroughTheVirtualUpdate) {
    REQUIRE_GL_CONTEXT();
    CountingActor actor;
    EXPECT_EQ(actor.modelUpdates, 0) << "the constructor uses the base version";
    EXPECT_EQ(actor.transformChanges, 0);
    actor.setPosition(glm::vec3(1, 0, 0));
    actor.setScale(3.0f);
    actor.setScale(glm::vec3(1, 2, 3));
    Engine::GenericMotionState state(&actor);
    btTransform in;
    in.setIdentity();
    state.setWorldTransform(in);
    EXPECT_EQ(actor.modelUpdates, 4);
    EXPECT_EQ(actor.transformChanges, 4);
}

TEST_F(ActorTest, SizeIsTheScaledMaximaOfTheMeshBounds) {
    REQUIRE_GL_CONTEXT();
    Engine::Actor actor;
    EXPECT_EQ(actor.getSize(), btVector3(0, 0, 0)) << "no mesh (its file failed to load)";
    EXPECT_EQ(actor.getWidth(), 0.0f);
    MeshHandler mesh;
    mesh.minX = -1.0f; mesh.maxX = 3.0f; mesh.maxY = 0.5f; mesh.minZ = -4.0f; mesh.maxZ = 0.0f;
    actor.mesh = &mesh;
    actor.setScale(2.0f);
    EXPECT_EQ(actor.getSize(), btVector3(6, 1, 0)); // w compared too: 0
    EXPECT_FLOAT_EQ(actor.getWidth(), 6.0f);
}

TEST_F(ActorTest, AddToWorldMakesStaticDynamicOrNoBody) {
    REQUIRE_GL_CONTEXT();
    Engine::Actor shapeless, ground, box;
    TestWorld physics;
    EXPECT_FALSE(shapeless.addToWorld(&physics.world));
    EXPECT_EQ(shapeless.world, &physics.world) << "the world is kept";
    EXPECT_EQ(shapeless.rigidBody, nullptr);
    EXPECT_EQ(shapeless.motionState, nullptr);
    EXPECT_EQ(physics.world.getNumCollisionObjects(), 0);

    ground.collisionShape = new btBoxShape(btVector3(10, 1, 10));
    ASSERT_TRUE(ground.addToWorld(&physics.world));
    EXPECT_TRUE(ground.rigidBody->isStaticObject());
    EXPECT_EQ(ground.localInertia, btVector3(0, 0, 0));
    EXPECT_EQ(ground.rigidBody->getUserPointer(), &ground);
    EXPECT_EQ(ground.collisionShape->getUserPointer(), &ground);

    box.mass = 10.0f;
    box.collisionShape = new btBoxShape(btVector3(1, 2, 3));
    ASSERT_TRUE(box.addToWorld(&physics.world));
    btVector3 expected;
    box.collisionShape->calculateLocalInertia(10.0f, expected);
    EXPECT_EQ(box.localInertia, expected);
    EXPECT_FLOAT_EQ(box.rigidBody->getInvMass(), 0.1f);
    EXPECT_EQ(physics.world.getNumCollisionObjects(), 2);
}

TEST_F(ActorTest, MotionStateHandsOverPositionAndRotation) {
    REQUIRE_GL_CONTEXT();
    Engine::Actor actor;
    actor.rotationAngle = 90.0f;
    actor.offset = glm::vec3(0, 9, 0);
    actor.setPosition(glm::vec3(4, 5, 6));
    Engine::GenericMotionState state(&actor);
    btTransform out;
    state.getWorldTransform(out);
    EXPECT_EQ(out.getOrigin(), btVector3(4, 5, 6));
    const btVector3 turned = out.getBasis() * btVector3(1, 0, 0);
    EXPECT_NEAR(turned.x(), 0.0f, 1e-6f);
    EXPECT_NEAR(turned.z(), -1.0f, 1e-6f);

    // Written back: position, axis and angle in degrees, then the matrix.
    btTransform in;
    in.setIdentity();
    in.setOrigin(btVector3(-1, 2, -3));
    in.setRotation(btQuaternion(btVector3(0, 0, 1), 3.0f * SIMD_PI / 2.0f));
    state.setWorldTransform(in);
    EXPECT_EQ(actor.position, glm::vec3(-1, 2, -3));
    // 270 degrees about +z, or 90 about -z.
    EXPECT_NEAR(actor.rotationAngle, 90.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(actor.rotationAxis.z), 1.0f, 1e-5f);
    expectNear(actor.rotationMatrix * glm::vec4(1, 0, 0, 0), glm::vec4(0, -1, 0, 0));
    expectNear(actor.modelMatrix[3], glm::vec4(-1, 11, -3, 1));
}

TEST_F(ActorTest, PhysicsWritesBackAxisXAtAngleZero) {
    REQUIRE_GL_CONTEXT();
    Engine::Actor falling, resting;
    TestWorld physics;
    falling.mass = 1.0f;
    falling.collisionShape = new btSphereShape(1.0f);
    falling.setPosition(glm::vec3(0, 10, 0));
    resting.collisionShape = new btSphereShape(1.0f);
    resting.setPosition(glm::vec3(50, 0, 0));
    ASSERT_TRUE(falling.addToWorld(&physics.world));
    ASSERT_TRUE(resting.addToWorld(&physics.world));

    for (int i = 0; i < 10; ++i) physics.world.stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
    EXPECT_EQ(falling.rotationAxis, glm::vec3(1, 0, 0));
    EXPECT_FLOAT_EQ(falling.rotationAngle, 0.0f);
    EXPECT_LT(falling.position.y, 10.0f);
    EXPECT_FLOAT_EQ(falling.modelMatrix[3][1], falling.position.y);
    // A static body is never written back.
    EXPECT_EQ(resting.rotationAxis, glm::vec3(0, 1, 0));
    EXPECT_EQ(resting.position, glm::vec3(50, 0, 0));
}

TEST_F(ActorTest, DestructorFreesTheShapeWithAndWithoutABody) {
    REQUIRE_GL_CONTEXT();
    TestWorld physics;
    for (bool inWorld : {false, true}) {
        bool gone = false;
        {
            Engine::Actor actor;
            actor.collisionShape = new WatchedSphere(&gone);
            if (inWorld) {
                actor.addToWorld(&physics.world);
                physics.world.removeRigidBody(actor.rigidBody);
            }
        }
        EXPECT_TRUE(gone) << "in world: " << inWorld;
    }
}

TEST_F(ActorTest, ZeroAxisMeansNoRotation) {
    REQUIRE_GL_CONTEXT();
    Engine::Actor actor;
    actor.rotationAxis = glm::vec3(0);
    actor.rotationAngle = 30.0f;
    actor.setPosition(glm::vec3(1, 2, 3));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) ASSERT_TRUE(std::isfinite(actor.modelMatrix[c][r]));
    EXPECT_EQ(actor.rotationMatrix, glm::mat4(1.0f));
    Engine::GenericMotionState state(&actor);
    btTransform out;
    state.getWorldTransform(out);
    EXPECT_EQ(out.getRotation(), btQuaternion::getIdentity());
}

} // namespace
