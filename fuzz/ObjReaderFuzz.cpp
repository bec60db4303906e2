// Feeds arbitrary bytes to the OBJ/MTL reader. The input is split at the
// first 0xFF byte: the part before is the mesh file (naming "m.mtl"), the
// part after is the MTL file. No OpenGL context: textures named in the MTL
// file are refused before they are read (TextureFuzz reads images). Runs in a
// private working directory, removed at exit (see WorkDirectory.h).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/MeshHandler.h"
#include "fuzz/WorkDirectory.h"

namespace {

void writeFile(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, std::streamsize(size));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzwork::enter("objfuzz", argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string dir = ".";
    const char* text = reinterpret_cast<const char*>(data);
    const void* split = std::memchr(data, 0xFF, size);
    const std::size_t objSize = split ? std::size_t(static_cast<const uint8_t*>(split) - data) : size;
    const std::string obj = "mtllib m.mtl\n" + std::string(text, objSize);
    writeFile(dir + "/f.obj", obj.data(), obj.size());
    if (split)
        writeFile(dir + "/m.mtl", text + objSize + 1, size - objSize - 1);
    else
        writeFile(dir + "/m.mtl", "", 0);

    MeshHandler mesh;
    mesh.loadObj(dir + "/f.obj");
    for (auto& entry : mesh.getFaceGroups()) {
        const FaceGroup* g = entry.second;
        // Every corner adds one of each, and the indices are 0..n-1.
        if (g->vertices->size() != g->vertexCount || g->indices->size() != g->vertexCount ||
            g->texCoords->size() != g->vertexCount || g->normals->size() != g->vertexCount ||
            g->vertexCount % 3 != 0)
            std::abort();
        for (unsigned int i = 0; i < g->vertexCount; ++i)
            if ((*g->indices)[i] != i)
                std::abort();
    }
    if (!(mesh.minX <= 0.0f && mesh.maxX >= 0.0f && mesh.radius >= 0.0f))
        std::abort();
    return 0;
}
