#include "tests/support/CubeMesh.h"

#include <filesystem>
#include <fstream>

namespace testsupport {

std::string writeCubeMesh(const std::string& directory, const std::string& name) {
    namespace fs = std::filesystem;
    fs::create_directories(directory);
    const fs::path obj = fs::absolute(fs::path(directory) / (name + ".obj"));
    {
        std::ofstream mtl(fs::path(directory) / (name + ".mtl"));
        mtl << "newmtl grey\nKa 0.2 0.2 0.2\nKd 0.6 0.6 0.7\nKs 0.1 0.1 0.1\n"
               "Ke 0 0 0\nNs 10\nd 1\n";
    }
    std::ofstream out(obj);
    out << "mtllib " << name << ".mtl\n";
    // Corners 1..8: bit 0 = x, bit 1 = y, bit 2 = z (0 -> -1, 1 -> +1).
    for (int i = 0; i < 8; ++i)
        out << "v " << ((i & 1) ? 1 : -1) << ' ' << ((i & 2) ? 1 : -1) << ' '
            << ((i & 4) ? 1 : -1) << '\n';
    out << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    out << "vn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\nvn 0 0 1\nvn 0 0 -1\n";
    out << "usemtl grey\n";
    // Each face: four corners counter-clockwise seen from outside, normal.
    const int faces[6][5] = {
        {2, 4, 8, 6, 1}, // +x
        {1, 5, 7, 3, 2}, // -x
        {3, 7, 8, 4, 3}, // +y
        {1, 2, 6, 5, 4}, // -y
        {5, 6, 8, 7, 5}, // +z
        {1, 3, 4, 2, 6}, // -z
    };
    for (const auto& f : faces) {
        const int n = f[4];
        out << "f " << f[0] << "/1/" << n << ' ' << f[1] << "/2/" << n << ' ' << f[2] << "/3/"
            << n << '\n';
        out << "f " << f[0] << "/1/" << n << ' ' << f[2] << "/3/" << n << ' ' << f[3] << "/4/"
            << n << '\n';
    }
    return obj.string();
}

} // namespace testsupport
