#include "engine/FaceGroup.h"

#include <utility>

FaceGroup::FaceGroup(std::string name)
    : name(std::move(name)),
      vertices(new std::vector<glm::vec4>()),
      texCoords(new std::vector<glm::vec2>()),
      normals(new std::vector<glm::vec3>()),
      indices(new std::vector<unsigned int>()) {}

// Buffers and the texture are left alone: the context may be gone by now,
// and the program keeps its meshes for the whole run anyway.
FaceGroup::~FaceGroup() = default;

float* FaceGroup::getVertexData() {
    return (vertices && !vertices->empty()) ? &(*vertices)[0].x : nullptr;
}

float* FaceGroup::getTexCoordData() {
    return (texCoords && !texCoords->empty()) ? &(*texCoords)[0].x : nullptr;
}

float* FaceGroup::getNormalData() {
    return (normals && !normals->empty()) ? &(*normals)[0].x : nullptr;
}

unsigned int* FaceGroup::getIndexData() {
    return (indices && !indices->empty()) ? indices->data() : nullptr;
}

unsigned int FaceGroup::getVertexCount() const {
    return vertexCount;
}

void FaceGroup::reset() {
    vertices.reset(new std::vector<glm::vec4>());
    texCoords.reset(new std::vector<glm::vec2>());
    normals.reset(new std::vector<glm::vec3>());
    indices.reset(new std::vector<unsigned int>());
    // The text element rebuilds its group on every new text: dropping the
    // names without deleting the buffers would grow GL memory without bound.
    deleteVBOs();
    vertexCount = 0;
}

void FaceGroup::deleteVBOs() {
    for (GLuint& name : vbo) {
        if (name != 0)
            glDeleteBuffers(1, &name);
        name = 0;
    }
}

namespace {

// One buffer filled through the array binding point; drawing binds the index
// buffer as element array itself.
GLuint makeBuffer(GLsizeiptr bytes, const void* data) {
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(GL_ARRAY_BUFFER, name);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return name;
}

} // namespace

void FaceGroup::createVBOs() {
    deleteVBOs();
    if (vertices)
        vbo[0] = makeBuffer(GLsizeiptr(16 * vertices->size()), getVertexData());
    if (normals)
        vbo[2] = makeBuffer(GLsizeiptr(12 * normals->size()), getNormalData());
    if (texCoords)
        vbo[1] = makeBuffer(GLsizeiptr(8 * texCoords->size()), getTexCoordData());
    vbo[3] = makeBuffer(GLsizeiptr(4 * std::size_t(vertexCount)), getIndexData());
}
