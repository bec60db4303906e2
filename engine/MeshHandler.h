#pragma once
#include <map>
#include <string>

#include "engine/FaceGroup.h"

// One model: its face groups by name (one per material), the bounds of the
// vertices read from its file and a bounding radius. Meshes are read from
// OBJ files by loadObj or built in code through the adders.
class MeshHandler {
public:
    MeshHandler();
    ~MeshHandler();
    MeshHandler(const MeshHandler&) = delete;
    MeshHandler& operator=(const MeshHandler&) = delete;

    // Keeps an existing group of the same name.
    void addFaceGroup(std::string name);
    bool hasFaceGroup(std::string name) const;
    // Null when there is no group of that name.
    FaceGroup* getFaceGroup(std::string name);
    std::map<std::string, FaceGroup*>& getFaceGroups();
    size_t getFaceGroupCount() const;

    // Buffers for every group, in name order.
    void createVBOs();

    // Reads a Wavefront OBJ file and the MTL file it names.
    void loadObj(std::string fileName);
    // Makes a texture of the image file for the group; false when none was
    // made (the group then stays untextured).
    bool loadTexture(std::string fileName, FaceGroup* group);

    // The mesh owns its groups.
    std::map<std::string, FaceGroup*> faceGroups;
    // Bounds start at the origin and are only widened by loadObj.
    float minX = 0.0f, maxX = 0.0f;
    float minY = 0.0f, maxY = 0.0f;
    float minZ = 0.0f, maxZ = 0.0f;
    float radius = 0.0f;
    bool hasMtl = false;
    // Switches on the reader's and the texture loader's messages.
    bool verbose = false;
};
