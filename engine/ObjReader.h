#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include <glm/glm.hpp>

class FaceGroup;
class MeshHandler;
class ObjLineScanner;

// Fills a mesh from a Wavefront OBJ file and the MTL file it names. The
// file is read into memory once and scanned three times: counting the
// statements, storing positions, texture coordinates and normals, then
// de-indexing the faces into the current material's face group.
class ObjReader {
public:
    explicit ObjReader(MeshHandler& mesh);

    void read(const std::string& fileName);

    // The whole file, or false when it cannot be read.
    static bool readFile(const std::string& path, std::string& content);

private:
    void countStatements(const std::string& text);
    void storeVertexData(const std::string& text);
    void addFaces(const std::string& text);
    void addFace(ObjLineScanner& line, FaceGroup* group);
    void readMtl(const std::string& path);
    void setRadius();
    // Room for the faces that the first pass counted for the group.
    void reserve(FaceGroup* group);

    MeshHandler& mesh;
    std::string meshDirectory;
    std::string mtlFileName;

    unsigned int vertexCount = 0;
    unsigned int texCoordCount = 0;
    unsigned int normalCount = 0;
    unsigned int faceCount = 0;
    unsigned int materialCount = 0;
    // Faces per group name as the first pass saw them; only for sizing.
    std::unordered_map<std::string, std::size_t> facesPerGroup;

    // Indexed from 1 as in the file; entry 0 is the value of index 0.
    std::vector<glm::vec4> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;

    // Statements of each kind seen so far in the face pass, to resolve
    // relative (negative) indices.
    unsigned int positionsSeen = 0;
    unsigned int texCoordsSeen = 0;
    unsigned int normalsSeen = 0;
};
