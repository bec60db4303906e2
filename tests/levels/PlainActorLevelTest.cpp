// The level of plain actors: boxes fall onto the floor, collide and are
// drawn with the real shader program.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <fstream>
#include <sstream>

#include "engine/Actor.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "levels/PlainActorLevel.h"
#include "tests/support/CubeMesh.h"
#include "tests/support/LevelTestBase.h"

namespace {

std::string readSource(const std::string& rel) {
    std::ifstream in(testsupport::sourcePath(rel));
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class PlainActorLevelTest : public testsupport::LevelTestBase {
protected:
    void SetUp() override {
        LevelTestBase::SetUp();
        // The shader program is built on the next actor, from the copies here.
        dir->write("shader/simple.vert", readSource("shader/simple.vert"));
        dir->write("shader/simple.frag", readSource("shader/simple.frag"));
        ResourceRegistry::resetForTests();
        meshFile = testsupport::writeCubeMesh(dir->path() + "/meshes");
    }
    std::string meshFile;
};

TEST_F(PlainActorLevelTest, BoxesFallOntoTheFloorAndStayOnIt) {
    Levels::PlainActorLevel level(meshFile, 20);
    ASSERT_EQ(level.boxes.size(), 20u);
    ASSERT_NE(level.floor, nullptr);
    ASSERT_NE(level.floor->mesh, nullptr);
    EXPECT_FLOAT_EQ(level.floor->mesh->maxX, 1.0f);
    EXPECT_EQ(level.actors.size(), 21u);
    EXPECT_EQ(level.cameras.size(), 1u);
    ASSERT_NE(level.hudCamera, nullptr);
    EXPECT_EQ(level.world->getNumCollisionObjects(), 21);

    std::vector<float> startY;
    for (Engine::Actor* box : level.boxes) startY.push_back(box->position.y);
    glGetError();
    for (int frame = 0; frame < 60; ++frame) {
        level.update(1.0f / 60.0f);
        level.render(true);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Ten seconds for the heap to settle.
    for (int frame = 60; frame < 600; ++frame) level.update(1.0f / 60.0f);

    const float floorTop = level.floor->position.y + 2.0f;
    for (size_t i = 0; i < level.boxes.size(); ++i) {
        Engine::Actor* box = level.boxes[i];
        EXPECT_LT(box->position.y, startY[i] - 1.0f) << "box " << i << " did not fall";
        EXPECT_GT(box->position.y, floorTop + 1.0f) << "box " << i << " went through the floor";
        EXPECT_LT(box->rigidBody->getLinearVelocity().length(), 2.0f) << "box " << i;
    }
    EXPECT_FLOAT_EQ(level.floor->position.y, -10.0f);
}

TEST_F(PlainActorLevelTest, MissingMeshStillGivesBoxesThatFall) {
    Levels::PlainActorLevel level(dir->path() + "/no-such-mesh.obj", 3);
    ASSERT_EQ(level.boxes.size(), 3u);
    EXPECT_EQ(level.boxes[0]->mesh, nullptr);
    for (int frame = 0; frame < 120; ++frame) level.update(1.0f / 60.0f);
    for (Engine::Actor* box : level.boxes) EXPECT_GT(box->position.y, -8.0f);
    EXPECT_LT(level.boxes[0]->position.y, 10.0f);
}

} // namespace
