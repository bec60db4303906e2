#include <gtest/gtest.h>

#include <GL/glew.h>
#include <FreeImage.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

using testsupport::TempDir;

namespace {

struct Texel {
    unsigned r, g, b, a;
};

// Pixel (x, y) of the test pictures; y counts from the bottom row.
RGBQUAD colourAt(unsigned x, unsigned y, unsigned alpha) {
    RGBQUAD q;
    q.rgbRed = BYTE(10 + 40 * x);
    q.rgbGreen = BYTE(20 + 70 * y);
    q.rgbBlue = BYTE(200 - 30 * x - 10 * y);
    q.rgbReserved = BYTE(alpha);
    return q;
}

// Writes a picture of the given size and depth; with alpha < 255 the
// alpha of pixel (x, y) is alpha - 20 * x.
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
    }
    void TearDown() override { Log::destroy(); }

    TempDir dir;
    MeshHandler mesh;
    FaceGroup group{"paint"};
};

} // namespace

TEST_F(Texture, TwentyFourBitImageBecomesRgbFromBgr) {
    REQUIRE_GL_CONTEXT();
    // Width 3: rows of 9 bytes padded to 12.
    writeImage("rgb.png", 3, 2, 24, 255);
    ASSERT_TRUE(mesh.loadTexture("rgb.png", &group));
    EXPECT_TRUE(group.hasTexture);
    EXPECT_EQ(group.pixelFormat, GLenum(GL_BGR));
    EXPECT_EQ(group.internalFormat, GL_RGB);
    EXPECT_EQ(group.imageWidth, 3u);
    EXPECT_EQ(group.imageHeight, 2u);
    EXPECT_EQ(group.textureUnit, GLenum(GL_TEXTURE0));
    EXPECT_EQ(group.samplerUnit, 0);
    EXPECT_EQ(textureNames, (std::vector<unsigned int>{group.textureId}));
    const std::vector<Texel> texels = readBack(group.textureId, 3, 2);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            const RGBQUAD want = colourAt(x, y, 255);
            const Texel got = texels[y * 3 + x];
            EXPECT_EQ(got.r, want.rgbRed) << x << "," << y;
            EXPECT_EQ(got.g, want.rgbGreen) << x << "," << y;
            EXPECT_EQ(got.b, want.rgbBlue) << x << "," << y;
            EXPECT_EQ(got.a, 255u);
        }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, ThirtyTwoBitImagesUseBgraAndKeepTheirAlpha) {
    REQUIRE_GL_CONTEXT();
    writeImage("alpha.png", 3, 2, 32, 200);
    ASSERT_TRUE(mesh.loadTexture("alpha.png", &group));
    EXPECT_EQ(group.pixelFormat, GLenum(GL_BGRA));
    EXPECT_EQ(group.internalFormat, GL_RGBA);
    std::vector<Texel> texels = readBack(group.textureId, 3, 2);
    EXPECT_EQ(texels[4].r, colourAt(1, 1, 0).rgbRed);
    EXPECT_EQ(texels[4].b, colourAt(1, 1, 0).rgbBlue);
    EXPECT_EQ(texels[4].a, 180u);
    EXPECT_EQ(texels[2].a, 160u);

    // Fully opaque 32-bit: reported as RGB, but four bytes per pixel.
    FaceGroup opaque("opaque");
    writeImage("opaque.tga", 5, 3, 32, 255, FIF_TARGA);
    {
        // The file really is what this case is about.
        FIBITMAP* check = FreeImage_Load(FIF_TARGA, "opaque.tga", 0);
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(FreeImage_GetBPP(check), 32u);
        EXPECT_EQ(FreeImage_GetColorType(check), FIC_RGB);
        FreeImage_Unload(check);
    }
    ASSERT_TRUE(mesh.loadTexture("opaque.tga", &opaque));
    EXPECT_EQ(opaque.pixelFormat, GLenum(GL_BGRA));
    EXPECT_EQ(opaque.internalFormat, GL_RGB);
    texels = readBack(opaque.textureId, 5, 3);
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 5; ++x) {
            const RGBQUAD want = colourAt(x, y, 255);
            EXPECT_EQ(texels[y * 5 + x].r, want.rgbRed) << x << "," << y;
            EXPECT_EQ(texels[y * 5 + x].g, want.rgbGreen) << x << "," << y;
            EXPECT_EQ(texels[y * 5 + x].b, want.rgbBlue) << x << "," << y;
        }
    EXPECT_EQ(textureNames, (std::vector<unsigned int>{group.textureId, opaque.textureId}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, OtherLayoutsAreConvertedBeforeTheUpload) {
    REQUIRE_GL_CONTEXT();
    // 8-bit grey
    {
        FIBITMAP* grey = FreeImage_Allocate(3, 3, 8);
        RGBQUAD* palette = FreeImage_GetPalette(grey);
        for (int i = 0; i < 256; ++i)
            palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = BYTE(i);
        for (unsigned y = 0; y < 3; ++y)
            for (unsigned x = 0; x < 3; ++x) {
                BYTE v = BYTE(30 * x + 80 * y);
                FreeImage_SetPixelIndex(grey, x, y, &v);
            }
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, grey, "grey.png", 0));
        FreeImage_Unload(grey);
    }
    FaceGroup grey("grey");
    ASSERT_TRUE(mesh.loadTexture("grey.png", &grey));
    EXPECT_EQ(grey.pixelFormat, GLenum(GL_BGR));
    std::vector<Texel> texels = readBack(grey.textureId, 3, 3);
    EXPECT_EQ(texels[2 * 3 + 1].r, 190u);
    EXPECT_EQ(texels[2 * 3 + 1].g, 190u);

    // 16 bits per channel
    {
        FIBITMAP* deep = FreeImage_AllocateT(FIT_RGB16, 2, 2);
        for (unsigned y = 0; y < 2; ++y) {
            FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep, int(y)));
            for (unsigned x = 0; x < 2; ++x)
                row[x] = {WORD(0xFF00), WORD(0x8000 * y), WORD(0x4000 * x)};
        }
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, deep, "deep.png", 0));
        FreeImage_Unload(deep);
    }
    FaceGroup deep("deep");
    ASSERT_TRUE(mesh.loadTexture("deep.png", &deep));
    texels = readBack(deep.textureId, 2, 2);
    EXPECT_EQ(texels[3].r, 0xFFu);
    EXPECT_EQ(texels[3].g, 0x80u);
    EXPECT_EQ(texels[3].b, 0x40u);

    // A palette with a transparent entry keeps its transparency.
    {
        FIBITMAP* pal = FreeImage_Allocate(2, 1, 8);
        RGBQUAD* palette = FreeImage_GetPalette(pal);
        palette[1].rgbRed = 255;
        palette[2].rgbBlue = 255;
        BYTE table[256];
        for (BYTE& t : table) t = 255;
        table[1] = 0;
        FreeImage_SetTransparencyTable(pal, table, 256);
        BYTE i1 = 1, i2 = 2;
        FreeImage_SetPixelIndex(pal, 0, 0, &i1);
        FreeImage_SetPixelIndex(pal, 1, 0, &i2);
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, pal, "pal.png", 0));
        FreeImage_Unload(pal);
    }
    FaceGroup pal("pal");
    ASSERT_TRUE(mesh.loadTexture("pal.png", &pal));
    EXPECT_EQ(pal.pixelFormat, GLenum(GL_BGRA));
    texels = readBack(pal.textureId, 2, 1);
    EXPECT_EQ(texels[0].r, 255u);
    EXPECT_EQ(texels[0].a, 0u);
    EXPECT_EQ(texels[1].b, 255u);
    EXPECT_EQ(texels[1].a, 255u);
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
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 4);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 0);
    const std::vector<Texel> texels = readBack(group.textureId, 4, 4);
    EXPECT_EQ(texels[3 * 4 + 2].g, colourAt(2, 3, 255).rgbGreen);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, FailuresMakeNoTextureAndSayWhy) {
    REQUIRE_GL_CONTEXT();
    dir.write("bad.png", "this is not a picture");
    mesh.verbose = true;
    EXPECT_FALSE(mesh.loadTexture("nothing", &group));
    EXPECT_FALSE(mesh.loadTexture("missing.png", &group));
    EXPECT_FALSE(mesh.loadTexture("bad.png", &group));
    EXPECT_FALSE(mesh.loadTexture("rgb.png", nullptr));
    EXPECT_FALSE(group.hasTexture);
    EXPECT_EQ(group.textureId, 0u);
    EXPECT_TRUE(textureNames.empty());
    Log::destroy();
    const std::string logText = dir.read("qelm.log");
    EXPECT_EQ(logText,
              "Loading Texture for Material:\npaint\nnothing\nUnknown File Format\n"
              "Loading Texture for Material:\npaint\nmissing.png\nCould Not Read Image\n"
              "Loading Texture for Material:\npaint\nbad.png\nCould Not Read Image\n");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Texture, VerboseSuccessReportsTheImage) {
    REQUIRE_GL_CONTEXT();
    writeImage("rgb.png", 2, 2, 24, 255);
    mesh.verbose = true;
    ASSERT_TRUE(mesh.loadTexture("rgb.png", &group));
    Log::destroy();
    EXPECT_EQ(dir.read("qelm.log"),
              "Loading Texture for Material:\npaint\nrgb.png\nTexture Properties:\n"
              "Image Format:13\nImage Type:1\nColor Type:2\nTexture Loaded!\n");
}

TEST_F(Texture, EachMaterialOfAMeshGetsItsOwnTexture) {
    REQUIRE_GL_CONTEXT();
    // Found one directory up: the MTL and the pictures come from beside it.
    dir.write("meshes/car/car.mtl", "");
    writeImage("meshes/car/car.png", 2, 2, 24, 255);
    writeImage("meshes/car/spare.png", 2, 2, 24, 255);
    dir.write("meshes/car/car.obj",
              "v 0 0 0\nv 1 0 0\nv 0 1 0\nmtllib car.mtl\n"
              "usemtl body\nf 1 2 3\nusemtl wheel\nf 1 2 3\n");
    dir.write("meshes/car/car.mtl",
              "newmtl wheel\nmap_Kd car.png\n"
              "newmtl spare\nmap_Kd spare.png\n"
              "newmtl body\nKd 1 0 0\nmap_Kd car.png\n");
    dir.write("run/placeholder", "");
    std::filesystem::current_path(dir.path() + "/run");
    MeshHandler car;
    car.loadObj("meshes/car/car.obj");
    std::filesystem::current_path(dir.path());
    FaceGroup* body = car.getFaceGroup("body");
    FaceGroup* wheel = car.getFaceGroup("wheel");
    ASSERT_TRUE(body && wheel);
    EXPECT_TRUE(body->hasTexture);
    EXPECT_TRUE(wheel->hasTexture);
    EXPECT_NE(body->textureId, wheel->textureId);
    // In the order the MTL file names them; the unused material loads nothing.
    EXPECT_EQ(textureNames, (std::vector<unsigned int>{wheel->textureId, body->textureId}));
    car.createVBOs();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
