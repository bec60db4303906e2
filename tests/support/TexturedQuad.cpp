#include "tests/support/TexturedQuad.h"

#include <FreeImage.h>

#include <filesystem>
#include <fstream>

#include "engine/MeshHandler.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace testsupport {

std::string writeTexturedQuad(const std::string& directory, const std::string& name, Rgb left,
                              Rgb right) {
    fs::create_directories(directory);
    FIBITMAP* image = FreeImage_Allocate(8, 8, 24);
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 8; ++x) {
            const Rgb& c = x < 4 ? left : right;
            RGBQUAD q = {c.b, c.g, c.r, 0};
            FreeImage_SetPixelColor(image, x, y, &q);
        }
    FreeImage_Save(FIF_BMP, image, (fs::path(directory) / (name + ".bmp")).c_str(), 0);
    FreeImage_Unload(image);
    std::ofstream(fs::path(directory) / (name + ".mtl"))
        << "newmtl tex\nKa 1 1 1\nKd 1 1 1\nKs 0 0 0\nKe 0 0 0\nNs 10\nd 1\nmap_Kd " << name << ".bmp\n";
    const fs::path obj = fs::absolute(fs::path(directory) / (name + ".obj"));
    std::ofstream(obj) << "mtllib " << name << ".mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                       << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nusemtl tex\n"
                       << "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";
    return obj.string();
}

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
