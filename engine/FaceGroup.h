#pragma once
#include <GL/glew.h>

#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

// One material's share of a mesh: triangles in de-indexed form (every drawn
// vertex has its own position, texture coordinate and normal, and the index
// array is 0, 1, 2, ...), the material colours, an optional texture and the
// buffer objects made from the arrays.
class FaceGroup {
public:
    explicit FaceGroup(std::string name);
    ~FaceGroup();
    FaceGroup(const FaceGroup&) = delete;
    FaceGroup& operator=(const FaceGroup&) = delete;

    // Adds the vertex together with its index (the current vertexCount).
    // Inline: the OBJ reader calls these three times per triangle corner.
    void addVertex(glm::vec4 vertex) {
        addIndex();
        vertices->push_back(vertex);
    }
    void addIndex() {
        indices->push_back(vertexCount);
        ++vertexCount;
    }
    void addTexCoord(glm::vec2 texCoord) { texCoords->push_back(texCoord); }
    void addNormal(glm::vec3 normal) { normals->push_back(normal); }

    // First element of each array, or null when the array is empty.
    float* getVertexData();
    float* getTexCoordData();
    float* getNormalData();
    unsigned int* getIndexData();
    unsigned int getVertexCount() const;

    // Empties the four arrays and drops the buffers (names back to 0); name,
    // material values and texture stay.
    void reset();
    // Makes one buffer per array (vertices, texCoords, normals, indices),
    // also for empty arrays.
    void createVBOs();

    std::string name;
    std::unique_ptr<std::vector<glm::vec4>> vertices;
    std::unique_ptr<std::vector<glm::vec2>> texCoords;
    std::unique_ptr<std::vector<glm::vec3>> normals;
    std::unique_ptr<std::vector<unsigned int>> indices;
    unsigned int vertexCount = 0;

    // Texture: textureUnit, textureId and samplerUnit are valid while
    // hasTexture is set.
    bool hasTexture = false;
    GLenum textureUnit = GL_TEXTURE0;
    GLuint textureId = 0;
    unsigned char* imageBits = nullptr;
    unsigned int imageWidth = 0;
    unsigned int imageHeight = 0;
    GLenum pixelFormat = GL_BGRA;
    GLint internalFormat = GL_RGB;
    GLint mipLevel = 0;
    GLint border = 0;
    GLint samplerUnit = 0;

    // Material values as the MTL file gives them.
    glm::vec4 Kd = glm::vec4(0.0f);
    glm::vec4 Ka = glm::vec4(0.0f);
    glm::vec4 Ks = glm::vec4(0.0f);
    glm::vec4 Ke = glm::vec4(0.0f);
    float Ns = 10.0f;
    float d = 1.0f;

    // Buffer names of vertices, texCoords, normals and indices; 0 = none.
    GLuint vbo[4] = {0, 0, 0, 0};

private:
    void deleteVBOs();
};
