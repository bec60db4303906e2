#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/MeshHandler.h"

namespace testsupport {

// What a structural look at an OBJ file and its MTL file found, judged by
// what the game's reader makes of them.
struct ObjFileReport {
    std::vector<std::string> problems;              // empty when well formed
    size_t faces = 0;
    std::map<std::string, size_t> facesPerMaterial; // "default" without an MTL file
    std::set<std::string> texturedMaterials;        // used materials with map_Kd
    std::vector<std::string> textures;              // their image paths
};

// Checks: lines within the reader's 254 characters, triangles only, corner
// indices inside the lists as the reader resolves them, no face outside a
// material once an MTL file is named, every selected material defined and
// given faces, every texture of a selected material present.
ObjFileReport checkObjFile(const std::string& objPath);

// Loads meshes of the committed pack through the game's own reader (repo
// root as working directory) and keeps them alive for the test.
class PackMeshes {
public:
    MeshHandler& load(const std::string& rel);

private:
    std::vector<std::unique_ptr<MeshHandler>> meshes_;
};

} // namespace testsupport
