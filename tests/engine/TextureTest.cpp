#include <gtest/gtest.h>

#include <GL/glew.h>
#include <FreeImage.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

using testsupport::TempDir;

namespace {

struct Texel {
    unsigned r, g, b, a;
};

// Pixel (x, y) of the test pictures; y counts from the bottom row.
RGBQUAD colourAt(unsigned x, unsigned y, unsigned alpha) {
    return {BYTE(200 - 30 * x - 10 * y), BYTE(20 + 70 * y), BYTE(10 + 40 * x), BYTE(alpha)};
}

// With alpha < 255 the alpha of pixel (x, y) is alpha - 20 * x.
void writeImage(const std::string& path, unsigned w, unsigned h, unsigned bpp,
                unsigned alpha, FREE_IMAGE_FORMAT format = FIF_PNG) {
    FIBITMAP* dib = FreeImage_Allocate(int(w), int(h), int(bpp));
    ASSERT_NE(dib, nullptr);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            RGBQUAD q = colourAt(x, y, alpha == 255 ? 255 : alpha - 20 * x);
            FreeImage_SetPixelColor(dib, x, y, &q);
        }
    ASSERT_TRUE(FreeImage_Save(format, dib, path.c_str(), 0));
    FreeImage_Unload(dib);
}

// Saves an 8-bit palette picture (rows from the bottom); palette entry
// `transparent` (if any) gets alpha 0.
void writePalette(const char* path, const std::vector<std::vector<BYTE>>& rows,
                  void (*fill)(RGBQUAD*), int transparent = -1) {
    FIBITMAP* dib = FreeImage_Allocate(int(rows[0].size()), int(rows.size()), 8);
    fill(FreeImage_GetPalette(dib));
    if (transparent >= 0) {
        BYTE table[256];
        for (int i = 0; i < 256; ++i) table[i] = i == transparent ? 0 : 255;
        FreeImage_SetTransparencyTable(dib, table, 256);
    }
    for (unsigned y = 0; y < rows.size(); ++y)
        for (unsigned x = 0; x < rows[y].size(); ++x)
            FreeImage_SetPixelIndex(dib, x, y, const_cast<BYTE*>(&rows[y][x]));
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, dib, path, 0));
    FreeImage_Unload(dib);
}

std::vector<Texel> readBack(GLuint texture, unsigned w, unsigned h) {
    std::vector<unsigned char> bytes(std::size_t(w) * h * 4, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<Texel> texels;
    for (std::size_t i = 0; i < bytes.size(); i += 4)
        texels.push_back({bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]});
    return texels;
}

class Texture : public ::testing::Test {
protected:
    void SetUp() override {
        Log::destroy();
        resetGlobals();
        ResourceRegistry::resetForTests();
    }
    void TearDown() override {
        Log::destroy();
        ResourceRegistry::resetForTests();
    }

    TempDir dir;
    MeshHandler mesh;
    FaceGroup group{"paint"};
};

} // namespace

TEST_F(Texture, EachDepthUploadsEveryPixelInItsFormat) {
    REQUIRE_GL_CONTEXT();
    // Width 3 at 24 bits: rows of 9 bytes padded to 12. The opaque 32-bit
    // TGA is reported as RGB but has four bytes per pixel.
    writeImage("rgb.png", 3, 2, 24, 255);
    writeImage("alpha.png", 3, 2, 32, 200);
    writeImage("opaque.tga", 5, 3, 32, 255, FIF_TARGA);
    FIBITMAP* check = FreeImage_Load(FIF_TARGA, "opaque.tga", 0);
    ASSERT_TRUE(check && FreeImage_GetBPP(check) == 32u && FreeImage_GetColorType(check) == FIC_RGB);
    FreeImage_Unload(check);

    struct Case { const char* file; unsigned w, h, alpha; GLenum format; GLint internal; };
    const Case cases[] = {{"rgb.png", 3, 2, 255, GL_BGR, GL_RGB},
                          {"alpha.png", 3, 2, 200, GL_BGRA, GL_RGBA},
                          {"opaque.tga", 5, 3, 255, GL_BGRA, GL_RGB}};
    std::vector<unsigned int> names;
    for (const Case& c : cases) {
        FaceGroup g(c.file);
        ASSERT_TRUE(mesh.loadTexture(c.file, &g)) << c.file;
        names.push_back(g.textureId);
        EXPECT_TRUE(g.hasTexture);
        EXPECT_EQ(g.pixelFormat, c.format) << c.file;
        EXPECT_EQ(g.internalFormat, c.internal) << c.file;
        EXPECT_EQ(glm::uvec2(g.imageWidth, g.imageHeight), glm::uvec2(c.w, c.h)) << c.file;
        EXPECT_EQ(g.textureUnit, GLenum(GL_TEXTURE0));
        const std::vector<Texel> texels = readBack(g.textureId, c.w, c.h);
        for (unsigned y = 0; y < c.h; ++y)
            for (unsigned x = 0; x < c.w; ++x) {
                const RGBQUAD want = colourAt(x, y, c.alpha == 255 ? 255 : c.alpha - 20 * x);
                const Texel got = texels[y * c.w + x];
                EXPECT_TRUE(got.r == want.rgbRed && got.g == want.rgbGreen &&
                            got.b == want.rgbBlue && got.a == want.rgbReserved)
                    << c.file << " " << x << "," << y;
            }
    }
    EXPECT_EQ(textureNames, names);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, OtherLayoutsAreConvertedBeforeTheUpload) {
    REQUIRE_GL_CONTEXT();
    writePalette("grey.png", {{0, 30, 60}, {80, 110, 140}, {160, 190, 220}},
                 [](RGBQUAD* p) {
                     for (int i = 0; i < 256; ++i) p[i].rgbRed = p[i].rgbGreen = p[i].rgbBlue = BYTE(i);
                 });
    // Entry 1 (red) is transparent, entry 2 (blue) opaque.
    writePalette("pal.png", {{1, 2}}, [](RGBQUAD* p) { p[1].rgbRed = p[2].rgbBlue = 255; }, 1);
    FIBITMAP* deep = FreeImage_AllocateT(FIT_RGB16, 2, 2);  // 16 bits per channel
    for (unsigned y = 0; y < 2; ++y) {
        FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep, int(y)));
        for (unsigned x = 0; x < 2; ++x) row[x] = {WORD(0xFF00), WORD(0x8000 * y), WORD(0x4000 * x)};
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, deep, "deep.png", 0));
    FreeImage_Unload(deep);

    FaceGroup grey("grey"), pal("pal"), wide("deep");
    ASSERT_TRUE(mesh.loadTexture("grey.png", &grey));
    ASSERT_TRUE(mesh.loadTexture("pal.png", &pal));
    ASSERT_TRUE(mesh.loadTexture("deep.png", &wide));
    EXPECT_EQ(grey.pixelFormat, GLenum(GL_BGR));
    EXPECT_EQ(pal.pixelFormat, GLenum(GL_BGRA));
    Texel t = readBack(grey.textureId, 3, 3)[2 * 3 + 1];
    EXPECT_TRUE(t.r == 190u && t.g == 190u);
    std::vector<Texel> p = readBack(pal.textureId, 2, 1);
    EXPECT_TRUE(p[0].r == 255u && p[0].a == 0u);
    EXPECT_TRUE(p[1].b == 255u && p[1].a == 255u);
    t = readBack(wide.textureId, 2, 2)[3];
    EXPECT_TRUE(t.r == 0xFFu && t.g == 0x80u && t.b == 0x40u);
    EXPECT_EQ(textureNames.size(), 3u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, LeavesTheTextureBoundWithRepeatLinearAndOneLevel) {
    REQUIRE_GL_CONTEXT();
    writeImage("rgb.bmp", 4, 4, 24, 255, FIF_BMP);
    // Someone else's tightly packed upload left alignment 1 behind.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    ASSERT_TRUE(mesh.loadTexture("rgb.bmp", &group));
    GLint value = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(GLuint(value), group.textureId);
    const std::pair<GLenum, GLint> params[] = {{GL_TEXTURE_WRAP_S, GL_REPEAT}, {GL_TEXTURE_WRAP_T, GL_REPEAT},
        {GL_TEXTURE_MIN_FILTER, GL_LINEAR}, {GL_TEXTURE_MAG_FILTER, GL_LINEAR}};
    for (const auto& [name, want] : params) {
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        EXPECT_EQ(value, want) << name;
    }
    for (GLint level : {0, 1}) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
        EXPECT_EQ(value, level == 0 ? 4 : 0) << level;
    }
    EXPECT_EQ(readBack(group.textureId, 4, 4)[3 * 4 + 2].g, colourAt(2, 3, 255).rgbGreen);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, FailuresMakeNoTextureAndSayWhy) {
    REQUIRE_GL_CONTEXT();
    dir.write("bad.png", "this is not a picture");
    mesh.verbose = true;
    for (const char* file : {"nothing", "missing.png", "bad.png"})
        EXPECT_FALSE(mesh.loadTexture(file, &group)) << file;
    EXPECT_FALSE(mesh.loadTexture("rgb.png", nullptr));
    EXPECT_FALSE(group.hasTexture);
    EXPECT_EQ(group.textureId, 0u);
    EXPECT_TRUE(textureNames.empty());
    Log::destroy();
    EXPECT_EQ(dir.read("qelm.log"),
              "Loading Texture for Material:\npaint\nnothing\nUnknown File Format\n"
              "MeshHandler: texture image not found (nothing)\n"
              "Loading Texture for Material:\npaint\nmissing.png\nCould Not Read Image\n"
              "MeshHandler: texture image not found (missing.png)\n"
              "Loading Texture for Material:\npaint\nbad.png\nCould Not Read Image\n"
              "MeshHandler: texture image cannot be read (bad.png)\n");
    std::remove("qelm.log");

    // Quiet, the file is still named, and once however often it is asked for.
    mesh.verbose = false;
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(mesh.loadTexture("bad.png", &group));
    EXPECT_FALSE(mesh.loadTexture("missing.png", &group));
    Log::destroy();
    EXPECT_EQ(dir.read("qelm.log"), "");
    ResourceRegistry::resetForTests();
    EXPECT_FALSE(mesh.loadTexture("bad.png", &group));
    Log::destroy();
    EXPECT_EQ(dir.read("qelm.log"), "MeshHandler: texture image cannot be read (bad.png)\n");
    std::remove("qelm.log");

    // Success reports the image.
    mesh.verbose = true;
    writeImage("rgb.png", 2, 2, 24, 255);
    ASSERT_TRUE(mesh.loadTexture("rgb.png", &group));
    Log::destroy();
    EXPECT_EQ(dir.read("qelm.log"),
              "Loading Texture for Material:\npaint\nrgb.png\nTexture Properties:\n"
              "Image Format:13\nImage Type:1\nColor Type:2\nTexture Loaded!\n");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, EachMaterialOfAMeshGetsItsOwnTexture) {
    REQUIRE_GL_CONTEXT();
    // Found one directory up: the MTL and the pictures come from beside it.
    dir.write("meshes/car/car.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nmtllib car.mtl\n"
                                    "usemtl body\nf 1 2 3\nusemtl wheel\nf 1 2 3\n");
    dir.write("meshes/car/car.mtl", "newmtl wheel\nmap_Kd car.png\nnewmtl spare\nmap_Kd spare.png\n"
                                    "newmtl body\nKd 1 0 0\nmap_Kd car.png\n");
    writeImage("meshes/car/car.png", 2, 2, 24, 255);
    writeImage("meshes/car/spare.png", 2, 2, 24, 255);
    dir.write("run/placeholder", "");
    std::filesystem::current_path(dir.path() + "/run");
    MeshHandler car;
    car.loadObj("meshes/car/car.obj");
    std::filesystem::current_path(dir.path());
    FaceGroup *body = car.getFaceGroup("body"), *wheel = car.getFaceGroup("wheel");
    ASSERT_TRUE(body && wheel);
    EXPECT_TRUE(body->hasTexture && wheel->hasTexture);
    EXPECT_NE(body->textureId, wheel->textureId);
    // In the order the MTL file names them; the unused material loads nothing.
    EXPECT_EQ(textureNames, (std::vector<unsigned int>{wheel->textureId, body->textureId}));
    car.createVBOs();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, FilesTheLibraryWouldCrashOnOrNotCheckAreRefusedWithOneLine) {
    REQUIRE_GL_CONTEXT();
    // Both crash the library's reader: a TARGA thumbnail that claims 255x255
    // pixels in two bytes, and a PBM width that overflows into a negative.
    std::string area(495, '\0');
    area[486] = 21;  // the thumbnail's offset
    dir.write("thumb.tga", std::string("\0\0\2", 3) + std::string(9, '\0') + "\1\0\1\0\x18\0" + "abc" +
                               "\xff\xff" + "xy" + area + std::string("\x19\0\0\0\0\0\0\0", 8) +
                               std::string("TRUEVISION-XFILE.\0", 18));
    dir.write("wide.pbm", "P4\n4294967291 1\n" + std::string(64, '\xff'));
    writeImage("pic.gif", 2, 2, 8, 255, FIF_GIF);
    for (int i = 0; i < 2; ++i)
        for (const char* file : {"thumb.tga", "wide.pbm", "pic.gif"})
            EXPECT_FALSE(mesh.loadTexture(file, &group)) << file;
    EXPECT_FALSE(group.hasTexture);
    EXPECT_TRUE(textureNames.empty());
    Log::destroy();
    EXPECT_EQ(dir.read("qelm.log"),
              "MeshHandler: texture image with a damaged header, not loaded (thumb.tga)\n"
              "MeshHandler: texture image with a damaged header, not loaded (wide.pbm)\n"
              "MeshHandler: texture image in format GIF, which is not read (PNG, JPEG, BMP, TARGA "
              "and PNM are), not loaded (pic.gif)\n");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, JpegIsReadWithoutTheExifThatCrashesTheLibrary) {
    REQUIRE_GL_CONTEXT();
    // Exif whose first directory claims 65535 entries: the library's Exif
    // reader looks for the next directory 786 KB past the segment.
    writeImage("plain.jpg", 3, 2, 24, 255, FIF_JPEG);
    const std::string jpeg = dir.read("plain.jpg");
    dir.write("exif.jpg", jpeg.substr(0, 2) + std::string("\xff\xe1\0\x12" "Exif\0\0II*\0\x08\0\0\0\xff\xff", 20) +
                              jpeg.substr(2));
    ASSERT_TRUE(mesh.loadTexture("exif.jpg", &group));
    EXPECT_EQ(glm::uvec2(group.imageWidth, group.imageHeight), glm::uvec2(3, 2));
    EXPECT_EQ(group.pixelFormat, GLenum(GL_BGR));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
