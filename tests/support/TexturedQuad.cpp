#include "tests/support/TexturedQuad.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/MeshHandler.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace testsupport {

namespace {

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(v & 0xff);
    out.push_back(v >> 8);
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xff);
}

} // namespace

void writeBmp(const std::string& path, int width, int height, Rgb left, Rgb right) {
    const int rowSize = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(rowSize * height);
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + dataSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40); // BITMAPINFOHEADER
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, dataSize);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& c = (x < width / 2) ? left : right;
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (int pad = width * 3; pad < rowSize; ++pad) out.push_back(0);
    }
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

std::string writeTexturedQuad(const std::string& directory, const std::string& name, Rgb left,
                              Rgb right) {
    fs::create_directories(directory);
    writeBmp((fs::path(directory) / (name + ".bmp")).string(), 8, 8, left, right);
    {
        std::ofstream mtl(fs::path(directory) / (name + ".mtl"));
        mtl << "newmtl tex\nKa 1 1 1\nKd 1 1 1\nKs 0 0 0\nKe 0 0 0\nNs 10\nd 1\nmap_Kd "
            << name << ".bmp\n";
    }
    const fs::path obj = fs::absolute(fs::path(directory) / (name + ".obj"));
    std::ofstream out(obj);
    out << "mtllib " << name << ".mtl\n"
        << "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
        << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
        << "vn 0 0 1\n"
        << "usemtl tex\n"
        << "f 1/1/1 2/2/1 3/3/1\n"
        << "f 1/1/1 3/3/1 4/4/1\n";
    return obj.string();
}

void addQuadGroup(MeshHandler& mesh, const std::string& groupName) {
    mesh.addFaceGroup(groupName);
    FaceGroup* group = mesh.getFaceGroup(groupName);
    const glm::vec4 corners[4] = {{-1, -1, 0, 1}, {1, -1, 0, 1}, {1, 1, 0, 1}, {-1, 1, 0, 1}};
    const glm::vec2 uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i : order) {
        group->addVertex(corners[i]);
        group->addTexCoord(uvs[i]);
        group->addNormal(glm::vec3(0, 0, 1));
    }
}

void installShaders() {
    for (const char* name : {"shader/simple.vert", "shader/simple.frag"}) {
        std::ifstream in(sourcePath(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        fs::create_directories("shader");
        std::ofstream out(name, std::ios::binary);
        out << text.str();
    }
}

} // namespace testsupport
