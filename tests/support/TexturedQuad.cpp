#include "tests/support/TexturedQuad.h"

#include <filesystem>

#include "engine/MeshHandler.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace testsupport {

void addQuadGroup(MeshHandler& mesh, const std::string& groupName) {
    mesh.addFaceGroup(groupName);
    FaceGroup* group = mesh.getFaceGroup(groupName);
    const glm::vec4 corners[4] = {{-1, -1, 0, 1}, {1, -1, 0, 1}, {1, 1, 0, 1}, {-1, 1, 0, 1}};
    const glm::vec2 uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i : {0, 1, 2, 0, 2, 3}) {
        group->addVertex(corners[i]);
        group->addTexCoord(uvs[i]);
        group->addNormal(glm::vec3(0, 0, 1));
    }
}

void installShaders() {
    fs::create_directories("shader");
    for (const char* name : {"shader/simple.vert", "shader/simple.frag"})
        fs::copy_file(sourcePath(name), name, fs::copy_options::overwrite_existing);
}

} // namespace testsupport
