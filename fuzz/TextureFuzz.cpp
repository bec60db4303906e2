// Feeds arbitrary bytes to the texture loader as an image file, in a real
// OpenGL context (a hidden window: run under xvfb-run). The first byte picks
// the file's extension, which the loader falls back on when the content names
// no format; the rest is the file. A texture that was made must hold the
// image's size at level 0 and leave no OpenGL error. Runs in a private working
// directory, removed at exit (see WorkDirectory.h). An empty first corpus
// directory is seeded with small images of every layout the loader converts.
#include <GL/glew.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <FreeImage.h>

#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "fuzz/WorkDirectory.h"
#include "platform/Glfw2.h"

namespace {

const char* const kExtensions[] = {"png", "bmp", "tga", "jpg", "gif", "tif", "pcx", "ppm",
                                   "pgm", "psd", "ico", "dds", "hdr", "xpm", "webp", ""};

GLint largestTexture = 0;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// Inputs that cost only time and memory here, since the library allocates
// what a header claims (gigabytes) before the loader can look: formats whose
// header the library cannot read alone, icons (whose header tells the size
// of the icon directory's entry, not of the picture the library then
// allocates), and large images up to the largest texture. These readers are
// the library's affair. Images beyond the largest texture are passed on: the
// loader must refuse them from their header.
bool skipped(const std::string& path) {
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) return false;
    if (!FreeImage_FIFSupportsNoPixels(format) || format == FIF_ICO) return true;
    FIBITMAP* header = FreeImage_Load(format, path.c_str(), FIF_LOAD_NOPIXELS);
    if (!header) return false;
    const unsigned width = FreeImage_GetWidth(header), height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    const bool refused = width > unsigned(largestTexture) || height > unsigned(largestTexture);
    return double(width) * height > 4.0e6 && !refused;
}

// 5x3 pixels (rows padded), each format's own depths and channel types. The
// leading byte picks the matching extension.
void writeSeeds(const std::string& dir) {
    struct Seed { FREE_IMAGE_FORMAT format; FREE_IMAGE_TYPE type; int bpp; int extension; };
    const Seed seeds[] = {
        {FIF_PNG, FIT_BITMAP, 24, 0},  {FIF_PNG, FIT_BITMAP, 32, 0},   {FIF_PNG, FIT_BITMAP, 8, 0},
        {FIF_PNG, FIT_BITMAP, 1, 0},   {FIF_PNG, FIT_RGB16, 48, 0},    {FIF_PNG, FIT_RGBA16, 64, 0},
        {FIF_PNG, FIT_UINT16, 16, 0},  {FIF_BMP, FIT_BITMAP, 4, 1},    {FIF_BMP, FIT_BITMAP, 16, 1},
        {FIF_BMP, FIT_BITMAP, 24, 1},  {FIF_BMP, FIT_BITMAP, 32, 1},   {FIF_TARGA, FIT_BITMAP, 24, 2},
        {FIF_TARGA, FIT_BITMAP, 32, 2}, {FIF_JPEG, FIT_BITMAP, 24, 3}, {FIF_TIFF, FIT_BITMAP, 24, 5},
        {FIF_TIFF, FIT_FLOAT, 32, 5},  {FIF_TIFF, FIT_RGBAF, 128, 5},  {FIF_PPM, FIT_BITMAP, 24, 7},
        {FIF_PGM, FIT_BITMAP, 8, 8},   {FIF_HDR, FIT_RGBF, 96, 12},
    };
    int n = 0;
    for (const Seed& seed : seeds) {
        FIBITMAP* dib = FreeImage_AllocateT(seed.type, 5, 3, seed.bpp);
        if (!dib) continue;
        BYTE* bits = FreeImage_GetBits(dib);
        for (unsigned i = 0; i < FreeImage_GetPitch(dib) * 3; ++i) bits[i] = BYTE(i * 37 + 11);
        const std::string file = dir + "/seed" + std::to_string(n++);
        if (FreeImage_Save(seed.format, dib, file.c_str(), 0)) {
            std::ifstream in(file, std::ios::binary);
            const std::string image((std::istreambuf_iterator<char>(in)), {});
            std::ofstream(file, std::ios::binary | std::ios::trunc) << char(seed.extension) << image;
        } else {
            std::remove(file.c_str());
        }
        FreeImage_Unload(dib);
    }
}

void seedEmptyCorpus(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') continue;
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec) && std::filesystem::is_empty(argv[i], ec))
            writeSeeds(argv[i]);
        return;  // only the first corpus directory
    }
}

} // namespace

// Some of the library's readers ask for what a header claims even when asked
// for the header alone (petabytes); outside the sanitizer malloc fails, the
// library gives no image and the loader says so. Behave the same here.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzwork::enter("texturefuzz", argc, argv);
    seedEmptyCorpus(*argc, *argv);
    glfw2::seam::setHiddenWindows(true);
    if (!glfw2::init() || !glfw2::openWindow(64, 64, 0, 0, 0, 0, 24, 8, glfw2::WINDOW)) {
        std::fprintf(stderr, "TextureFuzz needs a display: run it under xvfb-run\n");
        std::abort();
    }
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {}
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t count = sizeof(kExtensions) / sizeof(kExtensions[0]);
    const std::string ext = kExtensions[data[0] % count];
    const std::string path = ext.empty() ? "image" : "image." + ext;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
    }
    if (skipped(path)) return 0;

    MeshHandler mesh;
    FaceGroup group("fuzz");
    if (mesh.loadTexture(path, &group)) {
        check(group.hasTexture && group.textureId != 0);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        check(unsigned(width) == group.imageWidth && unsigned(height) == group.imageHeight);
        glDeleteTextures(1, &group.textureId);
    } else {
        check(!group.hasTexture);
    }
    check(glGetError() == GL_NO_ERROR);
    // Nothing may pile up from one input to the next.
    textureNames.clear();
    ResourceRegistry::resetForTests();
    Log::destroy();
    return 0;
}
