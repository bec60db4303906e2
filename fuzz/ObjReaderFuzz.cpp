// Feeds arbitrary bytes to the OBJ/MTL reader. The input is split at the
// first 0xFF byte: the part before is the mesh file (naming "m.mtl"), the
// part after is the MTL file. Its materials may name the pictures "t.png",
// "t.bmp", "t.tga" and "t.pgm" beside it, which the texture loader reads in
// a real OpenGL context (a hidden window: run under xvfb-run). Runs in a
// private working directory, removed at exit (see WorkDirectory.h).
#include <GL/glew.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "fuzz/HiddenWindow.h"
#include "fuzz/SeedImages.h"
#include "fuzz/WorkDirectory.h"

namespace {

void writeFile(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, std::streamsize(size));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!fuzzwork::enter("objfuzz", argc, argv)) return 0;
    fuzzwork::openHiddenWindow("ObjReaderFuzz");
    const std::pair<fuzzwork::ImageLayout, const char*> pictures[] = {
        {{FIF_PNG, FIT_BITMAP, 32}, "t.png"}, {{FIF_BMP, FIT_BITMAP, 8}, "t.bmp"},
        {{FIF_TARGA, FIT_BITMAP, 24}, "t.tga"}, {{FIF_PGMRAW, FIT_BITMAP, 8}, "t.pgm"}};
    for (const auto& [layout, name] : pictures)
        if (!fuzzwork::writeImage(layout, name)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* split = std::memchr(data, 0xFF, size);
    const std::size_t objSize = split ? std::size_t(static_cast<const uint8_t*>(split) - data) : size;
    const std::string obj = "mtllib m.mtl\n" + std::string(text, objSize);
    writeFile("f.obj", obj.data(), obj.size());
    if (split)
        writeFile("m.mtl", text + objSize + 1, size - objSize - 1);
    else
        writeFile("m.mtl", "", 0);

    {
        MeshHandler mesh;
        mesh.loadObj("f.obj");
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
            if (g->hasTexture != (g->textureId != 0))
                std::abort();
        }
        if (!(mesh.minX <= 0.0f && mesh.maxX >= 0.0f && mesh.radius >= 0.0f))
            std::abort();
    }
    // Every texture made is listed once; nothing may pile up from one input
    // to the next.
    if (glGetError() != GL_NO_ERROR)
        std::abort();
    glDeleteTextures(GLsizei(textureNames.size()), textureNames.data());
    textureNames.clear();
    ResourceRegistry::resetForTests();
    Log::destroy();
    return 0;
}
