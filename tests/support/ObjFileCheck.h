#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// What a structural look at an OBJ file and its MTL file found, judged by
// what the game's reader makes of them.
struct ObjFileReport {
    std::vector<std::string> problems;            // empty when well formed
    size_t faces = 0;
    std::map<std::string, size_t> facesPerMaterial; // "default" without an MTL file
    std::set<std::string> texturedMaterials;      // used materials with map_Kd
    std::vector<std::string> textures;            // their image paths
};

// Checks: lines short enough for the reader (254 characters), triangles
// only, corner indices inside the position/texture/normal lists as the
// reader resolves them, no face outside a material once an MTL file is
// named, every selected material defined in the MTL file and given faces,
// every texture of a selected material present.
ObjFileReport checkObjFile(const std::string& objPath);

} // namespace testsupport
