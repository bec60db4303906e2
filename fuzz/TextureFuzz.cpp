// Feeds arbitrary bytes to the texture loader as an image file, in a real
// OpenGL context (a hidden window: run under xvfb-run). The first byte picks
// the file's extension, which the loader falls back on when the content names
// no format; the rest is the file. A texture that was made must hold the
// image's size at level 0 and leave no OpenGL error. Every format the library
// knows is passed on, damaged or not: the loader must refuse what its reader
// would crash on. Runs in a private working directory, removed at exit (see
// WorkDirectory.h). The first corpus directory gets small images of every
// layout the loader converts, beside the pack's textures (fuzz/seeds.sh).
#include <GL/glew.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <FreeImage.h>

#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/ImageFileCheck.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "fuzz/HiddenWindow.h"
#include "fuzz/SeedImages.h"
#include "fuzz/WorkDirectory.h"

namespace {

const char* const kExtensions[] = {"png", "bmp", "tga", "jpg", "gif", "tif", "pcx", "ppm",
                                   "pgm", "psd", "ico", "dds", "hdr", "xpm", "webp", ""};

GLint largestTexture = 0;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// Images the loader takes that would only cost time and memory here: larger
// than 512x512 yet within the largest texture (the library allocates what a
// valid header claims). Asked of the library only as the loader asks it:
// for files its own check lets through, a JPEG without its metadata.
bool skipped(const std::string& path, const std::string& bytes) {
    FREE_IMAGE_FORMAT format = FREE_IMAGE_FORMAT(ImageFileCheck::contentFormat(bytes));
    if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN || !ImageFileCheck::problem(format, bytes).empty()) return false;
    std::string file = format == FIF_JPEG ? ImageFileCheck::jpegWithoutMetadata(bytes) : bytes;
    FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(file.data()), DWORD(file.size()));
    FIBITMAP* header = FreeImage_LoadFromMemory(format, memory, FIF_LOAD_NOPIXELS);
    FreeImage_CloseMemory(memory);
    if (!header) return false;
    const unsigned width = FreeImage_GetWidth(header), height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    const bool refused = width > unsigned(largestTexture) || height > unsigned(largestTexture);
    return double(width) * height > 512.0 * 512.0 && !refused;
}

// Each layout once, led by the byte that picks its extension.
void writeSeeds(const std::string& dir) {
    struct Seed { fuzzwork::ImageLayout layout; int extension; };
    const Seed seeds[] = {
        {{FIF_PNG, FIT_BITMAP, 24}, 0},   {{FIF_PNG, FIT_BITMAP, 32}, 0},  {{FIF_PNG, FIT_BITMAP, 8}, 0},
        {{FIF_PNG, FIT_BITMAP, 1}, 0},    {{FIF_PNG, FIT_RGB16, 48}, 0},   {{FIF_PNG, FIT_RGBA16, 64}, 0},
        {{FIF_PNG, FIT_UINT16, 16}, 0},   {{FIF_BMP, FIT_BITMAP, 4}, 1},   {{FIF_BMP, FIT_BITMAP, 16}, 1},
        {{FIF_BMP, FIT_BITMAP, 24}, 1},   {{FIF_BMP, FIT_BITMAP, 32}, 1},  {{FIF_TARGA, FIT_BITMAP, 24}, 2},
        {{FIF_TARGA, FIT_BITMAP, 32}, 2}, {{FIF_JPEG, FIT_BITMAP, 24}, 3}, {{FIF_TIFF, FIT_BITMAP, 24}, 5},
        {{FIF_TIFF, FIT_FLOAT, 32}, 5},   {{FIF_PPM, FIT_BITMAP, 24}, 7},  {{FIF_PPMRAW, FIT_BITMAP, 24}, 7},
        {{FIF_PGM, FIT_BITMAP, 8}, 8},    {{FIF_PGMRAW, FIT_BITMAP, 8}, 8}, {{FIF_PBMRAW, FIT_BITMAP, 1}, 8},
        {{FIF_HDR, FIT_RGBF, 96}, 12},    {{FIF_GIF, FIT_BITMAP, 8}, 4},   {{FIF_ICO, FIT_BITMAP, 32}, 10},
    };
    int n = 0;
    for (const Seed& seed : seeds) {
        const std::string file = dir + "/gen-" + std::to_string(n++);
        if (!fuzzwork::writeImage(seed.layout, file)) {
            std::remove(file.c_str());
            continue;
        }
        std::ifstream in(file, std::ios::binary);
        const std::string image((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(file, std::ios::binary | std::ios::trunc) << char(seed.extension) << image;
        if (seed.layout.format != FIF_JPEG) continue;
        // The same with an Exif segment (one directory naming the camera's
        // make), which the loader leaves out.
        const std::string exif("\xff\xe1\0\x22" "Exif\0\0II*\0\x08\0\0\0\x01\0"
                               "\x0f\x01\x02\0\x04\0\0\0abc\0\0\0\0\0", 36);
        std::ofstream(file + "-exif", std::ios::binary | std::ios::trunc)
            << char(seed.extension) << image.substr(0, 2) << exif << image.substr(2);
    }
}

void seedFirstCorpus(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') continue;
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) writeSeeds(argv[i]);
        return;
    }
}

} // namespace

// Some of the library's readers ask for what a header claims even when asked
// for the header alone (petabytes); outside the sanitizer malloc fails, the
// library gives no image and the loader says so. Behave the same here.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!fuzzwork::enter("texturefuzz", argc, argv)) return 0;
    seedFirstCorpus(*argc, *argv);
    largestTexture = fuzzwork::openHiddenWindow("TextureFuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t count = sizeof(kExtensions) / sizeof(kExtensions[0]);
    const std::string ext = kExtensions[data[0] % count];
    const std::string path = ext.empty() ? "image" : "image." + ext;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    if (skipped(path, bytes)) return 0;

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
