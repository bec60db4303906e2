#pragma once
#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace assetgen {

struct Material {
    std::string name;
    glm::vec3 Ka{0.2f}, Kd{0.8f}, Ks{0.2f}, Ke{0.0f};
    float Ns = 32.0f;
    float d = 1.0f;
    std::string mapKd; // texture file name, relative to the mesh's directory
};

// A textured material whose colour comes from the texture alone (Ka = Kd = 1).
inline Material texturedMaterial(const std::string& name, const std::string& mapKd,
                                 float ks = 0.0f, float ns = 1.0f) {
    Material m;
    m.name = name;
    m.Ka = glm::vec3(1.0f);
    m.Kd = glm::vec3(1.0f);
    m.Ks = glm::vec3(ks);
    m.Ns = ns;
    m.mapKd = mapKd;
    return m;
}

// Collects a Wavefront OBJ model: shared position / texture-coordinate /
// normal lists and triangles grouped by material. Written with fixed number
// formatting so the files are byte-for-byte reproducible.
class MeshBuilder {
public:
    // Adds a material; later faces use it until the next useMaterial.
    void addMaterial(const Material& m);
    void useMaterial(const std::string& name);

    int addPosition(glm::vec3 p);
    int addTexcoord(glm::vec2 t);
    int addNormal(glm::vec3 n);
    // Corners are (position, texcoord, normal) indices from 0; -1 = none.
    struct Corner { int v, t, n; };
    void addTriangle(Corner a, Corner b, Corner c);

    // A flat quad, corners counter-clockwise seen from the front, uv from
    // (u0,v0) at p0 to (u1,v1) at p2.
    void quad(glm::vec3 p0, glm::vec3 p1, glm::vec3 p2, glm::vec3 p3,
              glm::vec2 uv0 = {0, 0}, glm::vec2 uv1 = {1, 1});
    // Axis-aligned box from lo to hi, faces outward, each face mapped 0..1
    // (or through faceUv, giving per-face uv rectangles in the order
    // +x, -x, +y, -y, +z, -z as {u0, v0, u1, v1}).
    void box(glm::vec3 lo, glm::vec3 hi, const std::vector<glm::vec4>* faceUv = nullptr);
    // Cylinder along the given axis ('x', 'y' or 'z') centred at c.
    void cylinder(glm::vec3 c, char axis, float radius, float length, int segments,
                  bool caps = true, const std::string& capMaterial = "");
    // Tapering tube or cone along y: radius r0 at y0 to r1 at y1 (0 = point).
    void lathe(const std::vector<glm::vec2>& profile /* (radius, y) bottom to top */,
               int segments, glm::vec3 centre = {0, 0, 0}, bool inward = false);
    void sphere(glm::vec3 c, float r, int rings, int segments, bool inward = false);

    // Transforms every position (and normal) added since mark().
    int mark() const { return static_cast<int>(positions.size()); }
    void transformSince(int mark, const glm::mat4& m, int normalMark);
    int normalMark() const { return static_cast<int>(normals.size()); }

    glm::vec3 boundsMin() const;
    glm::vec3 boundsMax() const;

    // Writes dir/objName and dir/mtlName. Returns false on I/O failure.
    bool write(const std::string& dir, const std::string& objName,
               const std::string& mtlName) const;

private:
    struct Face { Corner c[3]; };
    struct Group { std::string material; std::vector<Face> faces; };
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texcoords;
    std::vector<glm::vec3> normals;
    std::vector<Material> materials;
    std::vector<Group> groups;
    std::string current;
};

} // namespace assetgen
