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
#include "tests/support/DrawingScene.h"

namespace {

// Pixel (x, y) of the test pictures (y from the bottom row); with alpha <
// 255 the alpha of a pixel is alpha - 20 * x.
RGBQUAD colourAt(unsigned x, unsigned y, unsigned alpha) {
    return {BYTE(200 - 30 * x - 10 * y), BYTE(20 + 70 * y), BYTE(10 + 40 * x), BYTE(alpha == 255 ? 255 : alpha - 20 * x)};
}

void writeImage(const std::string& path, unsigned w, unsigned h, unsigned bpp, unsigned alpha,
                FREE_IMAGE_FORMAT format = FIF_PNG) {
    FIBITMAP* dib = FreeImage_Allocate(int(w), int(h), int(bpp));
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            RGBQUAD q = colourAt(x, y, alpha);
            FreeImage_SetPixelColor(dib, x, y, &q);
        }
    EXPECT_TRUE(FreeImage_Save(format, dib, path.c_str(), 0)) << path;
    FreeImage_Unload(dib);
}

// The texture's texels as RGBA bytes, rows from the bottom.
std::vector<unsigned char> readBack(GLuint texture, unsigned w, unsigned h) {
    std::vector<unsigned char> bytes(std::size_t(w) * h * 4, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return bytes;
}

class Texture : public testsupport::DrawingTest {
protected:
    void TearDown() override {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        DrawingTest::TearDown();
    }
    MeshHandler mesh;
    FaceGroup group{"paint"};
};

TEST_F(Texture, EachDepthUploadsEveryPixelInItsFormat) {
    // Width 3 at 24 bits: rows of 9 bytes padded to 12. FreeImage reports the
    // opaque 32-bit TGA as RGB, with four bytes per pixel.
    writeImage("rgb.png", 3, 2, 24, 255);
    writeImage("alpha.png", 3, 2, 32, 200);
    writeImage("opaque.tga", 5, 3, 32, 255, FIF_TARGA);
    // Someone else's tightly packed upload left alignment 1 behind.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const struct { const char* file; unsigned w, h, alpha; GLenum format; GLint internal; } cases[] = {
        {"rgb.png", 3, 2, 255, GL_BGR, GL_RGB}, {"alpha.png", 3, 2, 200, GL_BGRA, GL_RGBA},
        {"opaque.tga", 5, 3, 255, GL_BGRA, GL_RGB}};
    std::vector<unsigned int> names;
    for (const auto& c : cases) {
        FaceGroup g(c.file);
        ASSERT_TRUE(mesh.loadTexture(c.file, &g)) << c.file;
        names.push_back(g.textureId);
        EXPECT_TRUE(g.hasTexture && g.pixelFormat == c.format && g.internalFormat == c.internal) << c.file;
        const std::vector<unsigned char> texels = readBack(g.textureId, c.w, c.h);
        for (unsigned y = 0; y < c.h; ++y)
            for (unsigned x = 0; x < c.w; ++x) {
                const RGBQUAD want = colourAt(x, y, c.alpha);
                const unsigned char* got = &texels[(y * c.w + x) * 4];
                EXPECT_TRUE(got[0] == want.rgbRed && got[1] == want.rgbGreen && got[2] == want.rgbBlue &&
                            got[3] == want.rgbReserved) << c.file << " " << x << "," << y;
            }
    }
    EXPECT_EQ(textureNames, names);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1) << "restored";
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(Texture, SixteenBitsPerChannelAreConvertedBeforeTheUpload) {
    FIBITMAP* deep = FreeImage_AllocateT(FIT_RGB16, 2, 2); // 16 bits per channel
    for (unsigned y = 0; y < 2; ++y) {
        FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep, int(y)));
        for (unsigned x = 0; x < 2; ++x) row[x] = {WORD(0xFF00), WORD(0x8000 * y), WORD(0x4000 * x)};
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, deep, "deep.png", 0));
    FreeImage_Unload(deep);
    FaceGroup wide("deep");
    ASSERT_TRUE(mesh.loadTexture("deep.png", &wide));
    const std::vector<unsigned char> t = readBack(wide.textureId, 2, 2);
    EXPECT_EQ(std::vector<unsigned char>(t.begin() + 12, t.begin() + 15), (std::vector<unsigned char>{0xFF, 0x80, 0x40}));
}

TEST_F(Texture, FailuresMakeNoTextureAndSayWhyOnce) {
    scene->dir.write("bad.png", "this is not a picture");
    // Each file is named once however often it is asked for.
    for (int i = 0; i < 2; ++i)
        for (const char* file : {"nothing", "missing.png", "bad.png"}) EXPECT_FALSE(mesh.loadTexture(file, &group)) << file;
    EXPECT_FALSE(mesh.loadTexture("rgb.png", nullptr));
    EXPECT_TRUE(!group.hasTexture && group.textureId == 0u && textureNames.empty());
    EXPECT_EQ(scene->logText(), "MeshHandler: texture image not found (nothing)\nMeshHandler: texture image not found (missing.png)\n"
                         "MeshHandler: texture image cannot be read (bad.png)\n");
}

TEST_F(Texture, EachMaterialOfAMeshGetsItsOwnTexture) {
    // Found one directory up: the MTL and the pictures come from beside it.
    scene->dir.write("meshes/car/car.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nmtllib car.mtl\n"
                                    "usemtl body\nf 1 2 3\nusemtl wheel\nf 1 2 3\n");
    scene->dir.write("meshes/car/car.mtl", "newmtl wheel\nmap_Kd car.png\nnewmtl spare\nmap_Kd spare.png\n"
                                    "newmtl body\nKd 1 0 0\nmap_Kd car.png\n");
    writeImage("meshes/car/car.png", 2, 2, 24, 255);
    writeImage("meshes/car/spare.png", 2, 2, 24, 255);
    scene->dir.write("run/placeholder", "");
    std::filesystem::current_path(scene->dir.path() + "/run");
    MeshHandler car;
    car.loadObj("meshes/car/car.obj");
    std::filesystem::current_path(scene->dir.path());
    FaceGroup *body = car.getFaceGroup("body"), *wheel = car.getFaceGroup("wheel");
    ASSERT_TRUE(body && wheel && body->hasTexture && wheel->hasTexture);
    // In the order the MTL file names them; the unused material loads nothing.
    EXPECT_EQ(textureNames, (std::vector<unsigned int>{wheel->textureId, body->textureId}));
}

} // namespace
