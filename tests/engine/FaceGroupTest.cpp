#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>

#include "engine/FaceGroup.h"
#include "engine/MeshHandler.h"
#include "tests/support/GLContext.h"

namespace {

GLint bufferSize(GLuint name) {
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, name);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

void addCorner(FaceGroup& group, float x) {
    group.addVertex(glm::vec4(x, 0.0f, 0.0f, 1.0f));
    group.addTexCoord(glm::vec2(x, 1.0f));
    group.addNormal(glm::vec3(0.0f, 0.0f, x));
}

TEST(FaceGroup, ConsecutiveIndicesAResetThatKeepsTheMaterialAndOneGroupPerName) {
    FaceGroup group("g");
    EXPECT_EQ(group.getVertexData(), nullptr) << "an empty array hands out no pointer into it";
    group.addVertex(glm::vec4(1, 2, 3, 1));
    group.addNormal(glm::vec3(0, 1, 0));
    addCorner(group, 4.0f);
    EXPECT_EQ(*group.indices, (std::vector<unsigned int>{0, 1}));
    EXPECT_FLOAT_EQ(group.getVertexData()[4], 4.0f); // tightly packed vec4s
    group.Kd = glm::vec4(0.5f);
    group.reset();
    EXPECT_TRUE(group.vertexCount == 0u && group.vertices->empty() && group.normals->empty() && group.indices->empty());
    EXPECT_EQ(group.Kd, glm::vec4(0.5f));
    addCorner(group, 3.0f);
    EXPECT_EQ(*group.indices, (std::vector<unsigned int>{0})) << "the indices start again";
    MeshHandler mesh;
    mesh.addFaceGroup("a");
    FaceGroup* first = mesh.getFaceGroup("a");
    addCorner(*first, 1.0f);
    mesh.addFaceGroup("a");
    EXPECT_TRUE(mesh.getFaceGroup("a") == first && first->vertexCount == 1u && mesh.getFaceGroupCount() == 1u);
}

TEST(FaceGroupGL, BuffersHoldTheArraysAndAreReleasedOnResetAndRebuild) {
    REQUIRE_GL_CONTEXT();
    FaceGroup group("g"), empty("empty");
    for (int i = 0; i < 6; ++i) addCorner(group, float(i));
    group.createVBOs();
    empty.createVBOs();
    const GLint perCorner[4] = {16, 8, 12, 4}; // vertices, texture coordinates, normals, indices
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bufferSize(group.vbo[i]), 6 * perCorner[i]) << i;
        ASSERT_NE(empty.vbo[i], 0u) << i;
        EXPECT_EQ(bufferSize(empty.vbo[i]), 0) << i;
    }
    // Text is rebuilt every frame: a reset may leave no buffer behind.
    GLuint old[4];
    std::copy(group.vbo, group.vbo + 4, old);
    group.reset();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(group.vbo[i], 0u);
        EXPECT_FALSE(glIsBuffer(old[i])) << i;
    }
    addCorner(group, 2.0f);
    group.createVBOs();
    EXPECT_EQ(bufferSize(group.vbo[0]), 16);
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
