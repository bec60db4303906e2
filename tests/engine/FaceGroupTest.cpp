#include <gtest/gtest.h>

#include <GL/glew.h>

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

} // namespace

TEST(FaceGroup, VerticesGetConsecutiveIndicesWhateverElseIsAdded) {
    FaceGroup group("g");
    // Empty arrays hand out no pointer into them.
    EXPECT_EQ(group.getVertexData(), nullptr);
    EXPECT_EQ(group.getIndexData(), nullptr);
    group.addVertex(glm::vec4(1, 2, 3, 1));
    group.addVertex(glm::vec4(4, 5, 6, 1));
    group.addNormal(glm::vec3(0, 1, 0));
    group.addVertex(glm::vec4(7, 8, 9, 1));
    EXPECT_EQ(group.vertexCount, 3u);
    EXPECT_EQ(*group.indices, (std::vector<unsigned int>{0, 1, 2}));
    ASSERT_NE(group.getVertexData(), nullptr);
    EXPECT_FLOAT_EQ(group.getVertexData()[4], 4.0f);  // tightly packed vec4s
    EXPECT_FLOAT_EQ(group.getVertexData()[11], 1.0f);
    EXPECT_EQ(group.getTexCoordData(), nullptr);
}

TEST(FaceGroup, ResetDropsGeometryKeepsMaterialAndTexture) {
    FaceGroup group("text");
    addCorner(group, 1.0f);
    addCorner(group, 2.0f);
    group.Kd = glm::vec4(0.5f, 0.25f, 1.0f, 1.0f);
    group.textureId = 42;
    group.reset();
    EXPECT_EQ(group.vertexCount, 0u);
    EXPECT_TRUE(group.vertices->empty() && group.texCoords->empty() &&
                group.normals->empty() && group.indices->empty());
    EXPECT_EQ(group.Kd, glm::vec4(0.5f, 0.25f, 1.0f, 1.0f));
    EXPECT_EQ(group.textureId, 42u);
    addCorner(group, 3.0f);  // the index sequence starts again
    EXPECT_EQ(*group.indices, (std::vector<unsigned int>{0}));
}

TEST(MeshHandler, AddingAnExistingNameKeepsTheGroupAndItsContents) {
    MeshHandler mesh;
    EXPECT_EQ(mesh.getFaceGroup("a"), nullptr);
    mesh.addFaceGroup("a");
    FaceGroup* first = mesh.getFaceGroup("a");
    ASSERT_NE(first, nullptr);
    addCorner(*first, 1.0f);
    mesh.addFaceGroup("a");
    EXPECT_EQ(mesh.getFaceGroup("a"), first);
    EXPECT_EQ(first->vertexCount, 1u);
    EXPECT_EQ(mesh.getFaceGroupCount(), 1u);
    EXPECT_FALSE(mesh.hasFaceGroup("A"));
    // Built in code: the bounds stay at the origin.
    EXPECT_EQ(glm::vec3(mesh.minX, mesh.maxY, mesh.maxZ), glm::vec3(0.0f));
}

TEST(FaceGroupGL, BuffersHoldTheArraysAtTheirPackedSizes) {
    REQUIRE_GL_CONTEXT();
    FaceGroup group("g"), empty("empty");
    for (int i = 0; i < 6; ++i) addCorner(group, float(i));
    group.createVBOs();
    empty.createVBOs();
    const GLint perCorner[4] = {16, 8, 12, 4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(glIsBuffer(group.vbo[i])) << i;
        EXPECT_EQ(bufferSize(group.vbo[i]), 6 * perCorner[i]) << i;
        ASSERT_NE(empty.vbo[i], 0u) << i;
        EXPECT_EQ(bufferSize(empty.vbo[i]), 0) << i;
    }
    // The normals buffer (entry 2) holds the normals, the index buffer 0..5.
    float normal[3] = {};
    glBindBuffer(GL_ARRAY_BUFFER, group.vbo[2]);
    glGetBufferSubData(GL_ARRAY_BUFFER, 5 * 12, 12, normal);
    unsigned int index[6] = {};
    glBindBuffer(GL_ARRAY_BUFFER, group.vbo[3]);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof index, index);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_FLOAT_EQ(normal[2], 5.0f);
    for (unsigned int i = 0; i < 6; ++i) EXPECT_EQ(index[i], i);
    group.createVBOs();  // the binding is left at 0
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(FaceGroupGL, ResetReleasesBuffersAndCreateMakesNewOnes) {
    REQUIRE_GL_CONTEXT();
    FaceGroup group("text");
    addCorner(group, 1.0f);
    group.createVBOs();
    const GLuint old = group.vbo[0];
    group.reset();
    for (GLuint name : group.vbo) EXPECT_EQ(name, 0u);
    // Rebuilding the text each frame must not pile up buffers.
    EXPECT_FALSE(glIsBuffer(old));
    addCorner(group, 2.0f);
    addCorner(group, 3.0f);
    group.createVBOs();
    EXPECT_EQ(bufferSize(group.vbo[0]), 2 * 16);
    // A second createVBOs replaces (and releases) the previous buffers.
    const GLuint before = group.vbo[3];
    group.createVBOs();
    EXPECT_TRUE(glIsBuffer(group.vbo[3]));
    if (before != group.vbo[3]) {
        EXPECT_FALSE(glIsBuffer(before));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(MeshHandlerGL, CreateVBOsVisitsGroupsInNameOrder) {
    REQUIRE_GL_CONTEXT();
    MeshHandler mesh;
    for (const char* name : {"b", "default", "a"}) mesh.addFaceGroup(name);
    mesh.createVBOs();
    FaceGroup *a = mesh.getFaceGroup("a"), *b = mesh.getFaceGroup("b");
    FaceGroup* def = mesh.getFaceGroup("default");
    // Fresh names count upwards: vertices, normals, texture coordinates,
    // indices, then the next group.
    EXPECT_LT(a->vbo[0], a->vbo[2]);
    EXPECT_LT(a->vbo[2], a->vbo[1]);
    EXPECT_LT(a->vbo[1], a->vbo[3]);
    EXPECT_LT(a->vbo[3], b->vbo[0]);
    EXPECT_LT(b->vbo[3], def->vbo[0]);
}
