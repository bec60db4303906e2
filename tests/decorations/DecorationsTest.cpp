// The decorations: every class's mesh, mass, scale and collision shape, the
// loose wheel, the glass's box that follows its transform, the radar quad,
// and what happens when a mesh file is missing or empty.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <LinearMath/btAlignedAllocator.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>

#include "decorations/ACube.h"
#include "decorations/BCube.h"
#include "decorations/Ball.h"
#include "decorations/BulletBill.h"
#include "decorations/CCube.h"
#include "decorations/DCube.h"
#include "decorations/DecoWheel.h"
#include "decorations/GameBoy.h"
#include "decorations/Glass.h"
#include "decorations/HelpScreen.h"
#include "decorations/Icon.h"
#include "decorations/LoadingScreen.h"
#include "decorations/P1WinScreen.h"
#include "decorations/P2WinScreen.h"
#include "decorations/Pipe.h"
#include "decorations/PlasticTable.h"
#include "decorations/Pyramid.h"
#include "decorations/Radar.h"
#include "decorations/SkyDome.h"
#include "decorations/Subaru.h"
#include "decorations/Toiletpaper.h"
#include "decorations/WoodTable.h"
#include "decorations/WorldCup.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "tests/support/GLContext.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"
#include "tests/support/TexturedQuad.h"

namespace {

using ActorPtr = std::unique_ptr<Engine::Actor>;
template <class T>
ActorPtr make() {
    return std::make_unique<T>();
}

enum class Shape { None, Box, Sphere, FixedBox, FollowsTransform };

const struct Row {
    ActorPtr (*make)();
    const char* mesh;
    float mass;
    float scale;
    Shape shape;
} kTable[] = {
    {make<Decorations::ACube>, "meshes/cube/acube.obj", 800, 10, Shape::Box},
    {make<Decorations::BCube>, "meshes/cube/bcube.obj", 800, 10, Shape::Box},
    {make<Decorations::CCube>, "meshes/cube/ccube.obj", 800, 10, Shape::Box},
    {make<Decorations::DCube>, "meshes/cube/dcube.obj", 800, 10, Shape::Box},
    {make<Decorations::Ball>, "meshes/pokeball.obj", 400, 100, Shape::Sphere},
    {make<Decorations::BulletBill>, "meshes/bulletbill.obj", 0, 1, Shape::None},
    {make<Decorations::GameBoy>, "meshes/gameboy.obj", 800, 2, Shape::Box},
    {make<Decorations::Glass>, "meshes/glass.obj", 400, 1, Shape::FollowsTransform},
    {make<Decorations::HelpScreen>, "meshes/helpscreen.obj", 0, 1, Shape::None},
    {make<Decorations::Icon>, "meshes/icons/icon_car.obj", 0, 1, Shape::None},
    {make<Decorations::LoadingScreen>, "meshes/loadingscreen.obj", 0, 1, Shape::None},
    {make<Decorations::P1WinScreen>, "meshes/p1leet.obj", 0, 1, Shape::None},
    {make<Decorations::P2WinScreen>, "meshes/p2leet.obj", 0, 1, Shape::None},
    {make<Decorations::Pipe>, "meshes/pipe.obj", 5.0e7f, 5, Shape::Box},
    {make<Decorations::PlasticTable>, "meshes/plastictable_notex.obj", 0, 1, Shape::FixedBox},
    {make<Decorations::Pyramid>, "meshes/laptop/laptop.obj", 0, 2, Shape::None},
    {make<Decorations::SkyDome>, "meshes/skydome.obj", 0, 1, Shape::None},
    {make<Decorations::Subaru>, "meshes/subaru.obj", 1000, 200, Shape::Box},
    {make<Decorations::Toiletpaper>, "meshes/toiletpaper.obj", 1200, 170, Shape::Box},
    {make<Decorations::WoodTable>, "meshes/woodtable/woodtable.obj", 0, 1, Shape::Box},
    {make<Decorations::WorldCup>, "meshes/worldcup.obj", 2000, 10, Shape::Box},
};

struct TestWorld {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
};

void expectBox(const btCollisionShape* shape, const btVector3& expected) {
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->getShapeType(), BOX_SHAPE_PROXYTYPE);
    const btVector3 actual = static_cast<const btBoxShape*>(shape)->getHalfExtentsWithMargin();
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4f * (1 + expected[i])) << i;
}

btVector3 maxima(const MeshHandler* mesh) {
    return btVector3(mesh->maxX, mesh->maxY, mesh->maxZ);
}

// Every test works in a fresh directory with the shaders; the pack's meshes
// are reached through a link when a test wants them.
class DecorationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        ResourceRegistry::resetForTests();
        Log::destroy();
        work = std::make_unique<testsupport::ScopedWorkDir>(dir.path() + "/a/b");
        testsupport::installShaders();
    }
    void TearDown() override {
        ResourceRegistry::resetForTests();
        Log::destroy();
        resetGlobals();
        work.reset();
    }
    void linkPackMeshes() {
        std::filesystem::create_directory_symlink(testsupport::sourcePath("meshes"), "meshes");
    }
    testsupport::TempDir dir;
    std::unique_ptr<testsupport::ScopedWorkDir> work;
};

TEST_F(DecorationsTest, EveryClassTakesItsMeshMassScaleAndShape) {
    linkPackMeshes();
    for (const Row& row : kTable) {
        SCOPED_TRACE(row.mesh);
        ActorPtr a = row.make();
        ASSERT_NE(a->mesh, nullptr);
        EXPECT_EQ(a->mesh, ResourceRegistry::getMesh(row.mesh)) << "shared with the registry";
        EXPECT_EQ(a->mass, row.mass);
        EXPECT_EQ(a->scale, glm::vec3(row.scale));
        EXPECT_EQ(a->modelMatrix[0][0], row.scale) << "set through setScale";
        EXPECT_TRUE(a->visible && a->drawOffscreen && a->textureMode2 && !a->textureMode3);
        const btVector3 top = maxima(a->mesh);
        switch (row.shape) {
        case Shape::None:
        case Shape::FollowsTransform: EXPECT_EQ(a->collisionShape, nullptr); break;
        case Shape::Box: expectBox(a->collisionShape, top * row.scale); break;
        case Shape::FixedBox: expectBox(a->collisionShape, btVector3(100, 1, 100)); break;
        case Shape::Sphere:
            ASSERT_EQ(a->collisionShape->getShapeType(), SPHERE_SHAPE_PROXYTYPE);
            EXPECT_FLOAT_EQ(static_cast<btSphereShape*>(a->collisionShape)->getRadius(), top.x() * 100);
        }
        // The level scales and places it, then adds it to the world.
        a->setScale(6.0f);
        a->setPosition(glm::vec3(0, 5, 0));
        if (row.shape == Shape::FollowsTransform) expectBox(a->collisionShape, top * 6);
        const btCollisionShape* built = a->collisionShape;
        TestWorld physics;
        ASSERT_EQ(a->addToWorld(&physics.world), built != nullptr);
        if (a->rigidBody) {
            EXPECT_EQ(a->rigidBody->isStaticObject(), row.mass == 0);
        }
        // A later scale changes only the glass's box; the body keeps its own.
        a->setScale(20.0f);
        if (row.shape == Shape::FollowsTransform) {
            expectBox(a->collisionShape, top * 20);
            expectBox(a->rigidBody->getCollisionShape(), top * 6);
        } else {
            EXPECT_EQ(a->collisionShape, built);
            if (row.shape == Shape::Box) expectBox(built, top * row.scale);
        }
        if (a->rigidBody) physics.world.removeRigidBody(a->rigidBody);
    }
}

// Missing and empty files give nothing to size a shape from: no shape (but
// the fixed box), no body. A mesh of one point has zero extent: boxes of size
// 0 that stay finite under the physics, and a wheel with no height to divide
// by gets no shape.
TEST_F(DecorationsTest, MissingEmptyOrPointMeshesGiveNoNaNAndNoBodyFromNothing) {
    const char* const point = "v 0 0 0\nv 0 0 0\nv 0 0 0\nf 1 2 3\n";
    for (const char* content : {static_cast<const char*>(nullptr), "", point}) {
        SCOPED_TRACE(content ? content : "missing");
        if (content) {
            for (const Row& row : kTable) dir.write(std::string("a/b/") + row.mesh, content);
            dir.write("a/b/meshes/wheel/wheel.obj", content);
        }
        std::vector<ActorPtr> all;
        for (const Row& row : kTable) all.push_back(row.make());
        all.push_back(make<Decorations::DecoWheel>());
        TestWorld physics;
        for (size_t i = 0; i < all.size(); ++i) {
            Engine::Actor* a = all[i].get();
            const Shape shape = i < std::size(kTable) ? kTable[i].shape : Shape::None; // the wheel last
            EXPECT_EQ(a->mesh != nullptr, content != nullptr);
            a->setScale(6.0f);
            const bool shaped = content == point ? shape != Shape::None : shape == Shape::FixedBox;
            EXPECT_EQ(a->collisionShape != nullptr, shaped) << i;
            EXPECT_EQ(a->addToWorld(&physics.world), shaped) << i;
        }
        for (int i = 0; i < 30; ++i) physics.world.stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
        for (ActorPtr& a : all) {
            for (int c = 0; c < 4; ++c)
                for (int r = 0; r < 4; ++r) ASSERT_TRUE(std::isfinite(a->modelMatrix[c][r]));
            if (a->rigidBody) physics.world.removeRigidBody(a->rigidBody);
        }
        all.clear();
        ResourceRegistry::resetForTests();
    }
}

TEST_F(DecorationsTest, WheelIsAOneUnitHighGrippingCylinderAlongX) {
    linkPackMeshes();
    Decorations::DecoWheel wheel;
    const MeshHandler* mesh = ResourceRegistry::getMesh("meshes/wheel/wheel.obj");
    ASSERT_EQ(wheel.mesh, mesh);
    ASSERT_GT(mesh->maxY - mesh->minY, 0.0f);
    const float s = 1.0f / (mesh->maxY - mesh->minY);
    EXPECT_EQ(wheel.scale, glm::vec3(s));
    EXPECT_EQ(wheel.modelMatrix, glm::mat4(1.0f)) << "the scale shows from the next rebuild";
    EXPECT_EQ(wheel.mass, 50.0f);
    ASSERT_NE(wheel.collisionShape, nullptr);
    ASSERT_EQ(wheel.collisionShape->getShapeType(), CYLINDER_SHAPE_PROXYTYPE);
    const auto* cylinder = static_cast<btCylinderShape*>(wheel.collisionShape);
    EXPECT_EQ(cylinder->getUpAxis(), 0);
    const btVector3 half = cylinder->getHalfExtentsWithMargin();
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(half[i], maxima(mesh)[i] * s, 1e-5f);
    TestWorld physics;
    ASSERT_TRUE(wheel.addToWorld(&physics.world));
    EXPECT_EQ(wheel.rigidBody->getFriction(), 1.0f);
    EXPECT_NEAR(wheel.rigidBody->getInvMass(), 1.0f / 50.0f, 1e-7f);
    physics.world.removeRigidBody(wheel.rigidBody);
}

// Live allocations of the physics library (its shapes and bodies).
long liveAllocations = 0;
void* countedAlloc(size_t size) {
    ++liveAllocations;
    return std::malloc(size);
}
void countedFree(void* p) {
    --liveAllocations;
    std::free(p);
}

TEST_F(DecorationsTest, GlassRebuildsReleaseTheBoxesTheyReplace) {
    linkPackMeshes();
    btAlignedAllocSetCustom(countedAlloc, countedFree);
    {
        TestWorld physics;
        Decorations::Glass glass;
        glass.setScale(6.0f);
        ASSERT_TRUE(glass.addToWorld(&physics.world));
        btCollisionShape* bodyBox = glass.rigidBody->getCollisionShape();
        glass.setPosition(glm::vec3(1, 0, 0));
        const long live = liveAllocations;
        for (int i = 0; i < 1000; ++i) glass.setPosition(glm::vec3(float(i), 0, 0));
        EXPECT_EQ(liveAllocations, live) << "replaced boxes must be freed";
        EXPECT_EQ(glass.rigidBody->getCollisionShape(), bodyBox);
        expectBox(bodyBox, maxima(glass.mesh) * 6); // still alive and whole
        physics.world.removeRigidBody(glass.rigidBody);
    }
    btAlignedAllocSetCustom(nullptr, nullptr);
}

TEST_F(DecorationsTest, RadarIsAHiddenUnitQuadOverTheOffscreenPicture) {
    offscreenColorTexture = 77;
    GLuint buffers[4];
    {
        Decorations::Radar quad;
        EXPECT_TRUE(!quad.visible && !quad.drawOffscreen && quad.textureMode3 && !quad.collisionShape);
        FaceGroup* g = quad.faceGroup;
        ASSERT_EQ(quad.mesh->getFaceGroupCount(), 1u);
        ASSERT_EQ(g, quad.mesh->getFaceGroup("fbo"));
        EXPECT_TRUE(g->hasTexture && g->textureId == 77 && g->textureUnit == GL_TEXTURE0 && g->samplerUnit == 0);
        const glm::vec2 corners[] = {{0, 0}, {1, 0}, {1, 1}, {1, 1}, {0, 1}, {0, 0}};
        ASSERT_TRUE(g->vertexCount == 6 && g->normals->size() == 6 && g->texCoords->size() == 6);
        for (unsigned i = 0; i < 6; ++i) {
            EXPECT_EQ((*g->vertices)[i], glm::vec4(corners[i], 0, 1)) << i;
            EXPECT_EQ((*g->normals)[i], glm::vec3(0, 0, 1)) << i;
            EXPECT_EQ((*g->texCoords)[i], corners[i]) << i;
        }
        std::copy(g->vbo, g->vbo + 4, buffers);
        for (GLuint name : buffers) EXPECT_TRUE(glIsBuffer(name));
    }
    for (GLuint name : buffers) EXPECT_FALSE(glIsBuffer(name)) << "released with the radar";
}

} // namespace
