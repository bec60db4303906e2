// Face groups and their buffers, the OBJ and MTL reader, and textures.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <string>
#include <vector>

#include <FreeImage.h>

#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/MeshHandler.h"
#include "tests/support/DrawingScene.h"

namespace {

GLint bufferSize(GLuint name) {
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, name);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

void addCorner(FaceGroup& group, float x) {
    group.addVertex(glm::vec4(x, 0.0f, 0.0f, 1.0f));
    group.addTexCoord(glm::vec2(x, 1.0f));
    group.addNormal(glm::vec3(0.0f, 0.0f, x));
}

class MeshTest : public testsupport::DrawingTest {
protected:
    // Loads the text as "m.obj": the named group, or an empty one to fail on.
    FaceGroup& load(const std::string& obj, const std::string& name = "default", bool verbose = false) {
        scene->dir.write("m.obj", obj);
        mesh.verbose = verbose;
        mesh.loadObj("m.obj");
        FaceGroup* g = mesh.getFaceGroup(name);
        EXPECT_NE(g, nullptr) << name;
        return g ? *g : group;
    }
    MeshHandler mesh;
    FaceGroup group{"paint"};
};

TEST_F(MeshTest, FaceGroupsBufferTheirArraysAndResetReleasesThemButKeepsTheMaterial) {
    FaceGroup g("g"), empty("empty");
    EXPECT_EQ(g.getVertexData(), nullptr) << "an empty array hands out no pointer into it";
    g.addVertex(glm::vec4(1, 2, 3, 1));
    g.addNormal(glm::vec3(0, 1, 0));
    for (int i = 1; i < 6; ++i) addCorner(g, float(i));
    EXPECT_EQ(g.indices->back(), 5u) << "consecutive, whatever else was added";
    g.addTexCoord(glm::vec2(0.0f));
    g.createVBOs();
    empty.createVBOs();
    const GLint perCorner[4] = {16, 8, 12, 4}; // vertices, texture coordinates, normals, indices
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bufferSize(g.vbo[i]), 6 * perCorner[i]) << i;
        ASSERT_NE(empty.vbo[i], 0u) << i;
        EXPECT_EQ(bufferSize(empty.vbo[i]), 0) << i;
    }
    // Text is rebuilt every frame: a reset may leave no buffer behind.
    const std::vector<GLuint> old(g.vbo, g.vbo + 4);
    g.Kd = glm::vec4(0.5f);
    g.reset();
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(g.vbo[i] == 0u && !glIsBuffer(old[i])) << i;
    EXPECT_TRUE(g.vertexCount == 0u && g.vertices->empty() && g.normals->empty() && g.indices->empty());
    EXPECT_EQ(g.Kd, glm::vec4(0.5f));
    addCorner(g, 3.0f);
    EXPECT_EQ(*g.indices, (std::vector<unsigned int>{0})) << "the indices start again";
    mesh.addFaceGroup("a");
    FaceGroup* first = mesh.getFaceGroup("a");
    addCorner(*first, 1.0f);
    mesh.addFaceGroup("a");
    EXPECT_TRUE(mesh.getFaceGroup("a") == first && first->vertexCount == 1u && mesh.getFaceGroupCount() == 1u);
}

// Four positions, six texture coordinates, seven normals.
const std::string kCube =
    "v 1 0 0\nv 0 2 0\nv 0 0 3\nv 4 4 4\n"
    "vt 0.1 0.1\nvt 0.2 0.2\nvt 0.3 0.3\nvt 0.4 0.4\nvt 0.5 0.5\nvt 0.6 0.6\n"
    "vn 1 0 0\nvn 2 0 0\nvn 3 0 0\nvn 4 0 0\nvn 5 0 0\nvn 6 0 0\nvn 7 0 0\n";

TEST_F(MeshTest, CornerFormsSelectTheirEntries) {
    FaceGroup& g = load(kCube + "f 1/2/3 2/3/4 3/4/5\n"       // v/t/n
                                "f 1//2 2//3 3//4\n"           // v//n: texture entry 0
                                "f 1/4 2/5 3/6\n"              // v/t: normal from t
                                "f 1 2 3\n"                    // v: all three from v
                                "f 1/2/3/4 2/2/2/2 3/2/2/2\n"  // t from the middle text
                                "f 4 3 2 1\n");                // only the first three corners
    ASSERT_TRUE(g.vertexCount == 18u && g.texCoords->size() == 18u && g.normals->size() == 18u);
    const struct { int i; float t, n; } rows[] = {{0, 0.2f, 3}, {2, 0.4f, 5}, {3, 1, 2}, {5, 1, 4},
        {6, 0.4f, 4}, {8, 0.6f, 6}, {10, 0.2f, 2}, {11, 0.3f, 3}, {12, 0.2f, 4}};
    for (const auto& r : rows) {
        EXPECT_EQ((*g.texCoords)[r.i], glm::vec2(r.t, r.t)) << "corner " << r.i;
        EXPECT_EQ((*g.normals)[r.i], glm::vec3(r.n, 0, 0)) << "corner " << r.i;
    }
    EXPECT_EQ((*g.vertices)[10], glm::vec4(0, 2, 0, 1));
    EXPECT_EQ((*g.vertices)[15], glm::vec4(4, 4, 4, 1));
}

TEST_F(MeshTest, IndicesOutsideTheArraysNeverReadPastThem) {
    FaceGroup& g = load("v 1 0 0\nv 2 0 0\nv 3 0 0\nvt 0.5 0.5\n"
                        "f 1 2 3\n"              // t and n 2, 3 missing, n 1 missing: entry 0
                        "f 1 2 99\n"             // position out of range: no triangle
                        "f 1/7/8 2/-5/-6 3\n"    // bad t and n: entry 0
                        "f -3 -2 -1\n"           // relative: the last three positions so far
                        "f -4 1 2\n"             // before the first position: no triangle
                        "f 0 0 0\n"              // index 0 is the value of index 0
                        "v 9 9 9\nf -1 1 2\n");  // relative to the positions read so far
    ASSERT_EQ(g.vertexCount, 15u);
    EXPECT_EQ((*g.texCoords)[0], glm::vec2(0.5f, 0.5f));
    EXPECT_EQ((*g.texCoords)[1], glm::vec2(1, 1));
    EXPECT_EQ((*g.normals)[4], glm::vec3(1, 1, 1));
    EXPECT_EQ((*g.vertices)[8], glm::vec4(3, 0, 0, 1));
    EXPECT_EQ((*g.vertices)[9], glm::vec4(1, 1, 1, 1));
    EXPECT_EQ((*g.vertices)[12], glm::vec4(9, 9, 9, 1));
}

TEST_F(MeshTest, NumbersAsStreamInputReadsThemAndBoundsWithTheOrigin) {
    FaceGroup& g = load("v\t+1.5e1 -.25 3.\r\n"  // tabs separate words, CR ends the line
                        "v 1e60 -1e60 1e-60\n"   // beyond float: the largest float
                        "v nan inf x\nv 7\n"     // not numbers and missing words: 0
                        "vt 0.125 -2 99\nusemtl a\r\nf 1/1 2 3\r\nf 4 1 1\n", "a");
    ASSERT_EQ(g.vertexCount, 6u);
    EXPECT_EQ((*g.vertices)[0], glm::vec4(15.0f, -0.25f, 3.0f, 1.0f));
    EXPECT_EQ((*g.vertices)[1], glm::vec4(FLT_MAX, -FLT_MAX, 0.0f, 1.0f));
    EXPECT_EQ((*g.vertices)[2], glm::vec4(0, 0, 0, 1));
    EXPECT_EQ((*g.vertices)[3], glm::vec4(7, 0, 0, 1));
    EXPECT_EQ((*g.texCoords)[0], glm::vec2(0.125f, -2.0f));
    MeshHandler a, b;
    scene->dir.write("a.obj", "v -2 0 1\nv 3 4 -6\n");
    scene->dir.write("b.obj", "v 2 1 1\nv 5 2 2\n# v -100 0 0\n");
    a.loadObj("a.obj");
    b.loadObj("b.obj");
    EXPECT_EQ(glm::vec3(a.minX, a.minY, a.minZ), glm::vec3(-2, 0, -6));
    EXPECT_EQ(glm::vec3(a.maxX, a.maxY, a.maxZ), glm::vec3(3, 4, 1));
    EXPECT_FLOAT_EQ(a.radius, 9.0f);
    EXPECT_EQ(glm::vec3(b.minX, b.minY, b.maxX), glm::vec3(0, 0, 5));
    EXPECT_FLOAT_EQ(b.radius, 7.5f);
}

TEST_F(MeshTest, WithoutMtllibFacesGoToDefaultThenToTheirMaterial) {
    load(kCube + "# a comment\n\no thing\ng part\ns off\nvp 1 2\nf 1 2 3\n"
                 "usemtl a\nf 1 1 1\nusemtl b\nf 2 2 2\nusemtl a\nf 3 3 3\n"
                 "usemtl\n"   // no name: stays with a
                 "f 4 4 4");  // no line end after the last face
    EXPECT_FALSE(mesh.hasMtl);
    ASSERT_EQ(mesh.getFaceGroupCount(), 3u);
    EXPECT_EQ(mesh.getFaceGroup("default")->vertexCount, 3u);
    EXPECT_EQ(mesh.getFaceGroup("b")->vertexCount, 3u);
    FaceGroup& a = *mesh.getFaceGroup("a");
    ASSERT_EQ(a.vertexCount, 9u);
    EXPECT_EQ((*a.vertices)[3], glm::vec4(0, 0, 3, 1));
    EXPECT_EQ((*a.vertices)[6], glm::vec4(4, 4, 4, 1));
}

TEST_F(MeshTest, MtlGivesColoursToTheMaterialsTheMeshUses) {
    scene->dir.write("m.mtl", "Kd 9 9 9\n"  // before any newmtl: ignored
                       "newmtl a\nKa 0.1 0.2 0.3\nKd 0.4 0.5 0.6\nKs 1 1 1\nKe 0 0 0.5\nNs 96\nd 0.5\n"
                       "newmtl spare\nKd 7 7 7\nNs 1\nmap_Kd missing.png\nnewmtl\nKd 6 6 6\n"
                       "newmtl b\nKd 0.25\nNs\n");  // missing numbers read as 0
    FaceGroup& def = load(kCube + "mtllib m.mtl\nf 1 2 3\nusemtl a\nf 1 2 3\nusemtl b\nf 1 2 3\n");
    EXPECT_TRUE(mesh.hasMtl);
    ASSERT_EQ(mesh.getFaceGroupCount(), 3u) << "no group for the material no usemtl names";
    EXPECT_EQ(def.vertexCount, 3u);
    EXPECT_EQ(def.Kd, glm::vec4(0.0f));
    const FaceGroup &a = *mesh.getFaceGroup("a"), &b = *mesh.getFaceGroup("b");
    EXPECT_EQ(std::vector<glm::vec4>({a.Ka, a.Kd, a.Ks, a.Ke, {a.Ns, a.d, b.Ns, 0}, b.Kd}),
              std::vector<glm::vec4>({{0.1f, 0.2f, 0.3f, 1}, {0.4f, 0.5f, 0.6f, 1}, {1, 1, 1, 1}, {0, 0, 0.5f, 1},
                                      {96, 0.5f, 0, 0}, {0.25f, 0, 0, 1}}));
    EXPECT_FALSE(a.hasTexture || b.hasTexture);
}

TEST_F(MeshTest, MissingFilesAndNoDefaultGroupBeforeTheFirstMaterial) {
    mesh.loadObj("meshes/none.obj");
    EXPECT_EQ(mesh.getFaceGroupCount(), 0u);
    // No faces ahead of the first material: no default group. The MTL file is
    // missing: start values, and the message names its path.
    FaceGroup& a = load(kCube + "mtllib m.mtl\nusemtl a\nusemtl b\nusemtl a\nf 1 2 3\n", "a", true);
    EXPECT_FALSE(mesh.hasFaceGroup("default"));
    EXPECT_EQ(a.Kd, glm::vec4(0.0f));
    const std::string text = scene->logText();
    EXPECT_NE(text.find("MTL file not found:\nm.mtl\n"), std::string::npos) << text;
}

TEST_F(MeshTest, OverLongLineEndsEveryPassAtTheSameLine) {
    FaceGroup& g = load(kCube + "f 1 2 3" + std::string(254 - 7, ' ') + "\n"  // exactly 254: fine
                        "f 2 3 4\nf 3 4 1" + std::string(300, ' ') + "\n"      // too long: read, then stop
                        "v 100 100 100\nusemtl late\nf 5 5 5\n#" + std::string(300, 'x') + "\n");
    EXPECT_EQ(mesh.maxX, 4.0f) << "the vertex after the long line is not read";
    EXPECT_FALSE(mesh.hasFaceGroup("late"));
    ASSERT_EQ(g.vertexCount, 9u);
    EXPECT_EQ((*g.vertices)[6], glm::vec4(0, 0, 3, 1));
    MeshHandler other; // the same holds for the MTL file
    scene->dir.write("o.mtl", "newmtl a\nKd 1 0 0\n#" + std::string(260, '-') + "\nKd 0 1 0\n");
    scene->dir.write("o.obj", kCube + "mtllib o.mtl\nusemtl a\nf 1 2 3\n");
    other.loadObj("o.obj");
    ASSERT_TRUE(other.hasFaceGroup("a"));
    EXPECT_EQ(other.getFaceGroup("a")->Kd, glm::vec4(1, 0, 0, 1));
}

// Pixel (x, y) of the test pictures (y from the bottom row); with alpha <
// 255 the alpha of a pixel is alpha - 20 * x.
RGBQUAD colourAt(unsigned x, unsigned y, unsigned alpha) {
    return {BYTE(200 - 30 * x - 10 * y), BYTE(20 + 70 * y), BYTE(10 + 40 * x), BYTE(alpha == 255 ? 255 : alpha - 20 * x)};
}

// Writes a picture of w x h of these colours; 48 bits are 16 per channel.
void writeImage(const std::string& path, unsigned w, unsigned h, unsigned bpp, unsigned alpha,
                FREE_IMAGE_FORMAT format = FIF_PNG) {
    FIBITMAP* dib = bpp == 48 ? FreeImage_AllocateT(FIT_RGB16, int(w), int(h))
                              : FreeImage_Allocate(int(w), int(h), int(bpp));
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            RGBQUAD q = colourAt(x, y, alpha);
            if (bpp != 48) FreeImage_SetPixelColor(dib, x, y, &q);
            else
                reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(dib, int(y)))[x] = {
                    WORD(q.rgbRed * 257), WORD(q.rgbGreen * 257), WORD(q.rgbBlue * 257)};
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

TEST_F(MeshTest, EachDepthUploadsEveryPixelInItsFormatOrConverted) {
    // 24-bit rows of 9 bytes are padded to 12; the opaque 32-bit TGA is reported
    // as RGB; 16 bits per channel are converted to 8 before the upload.
    writeImage("rgb.png", 3, 2, 24, 255);
    writeImage("deep.png", 2, 2, 48, 255);
    writeImage("alpha.png", 3, 2, 32, 200);
    writeImage("opaque.tga", 5, 3, 32, 255, FIF_TARGA);
    // Someone else's tightly packed upload left alignment 1 behind.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const struct { const char* file; unsigned w, h, alpha; GLenum format; GLint internal; } cases[] = {
        {"rgb.png", 3, 2, 255, GL_BGR, GL_RGB}, {"alpha.png", 3, 2, 200, GL_BGRA, GL_RGBA},
        {"opaque.tga", 5, 3, 255, GL_BGRA, GL_RGB}, {"deep.png", 2, 2, 255, GL_BGR, GL_RGB}};
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

TEST_F(MeshTest, FailuresMakeNoTextureAndSayWhyOnce) {
    scene->dir.write("bad.png", "this is not a picture");
    // A PBM width that overflows into a negative crashes the library's reader.
    scene->dir.write("wide.pbm", "P4\n4294967291 1\n" + std::string(64, '\xff'));
    writeImage("pic.gif", 2, 2, 8, 255, FIF_GIF);
    // Each file is named once however often it is asked for.
    for (int i = 0; i < 2; ++i)
        for (const char* file : {"nothing", "missing.png", "bad.png", "wide.pbm", "pic.gif"})
            EXPECT_FALSE(mesh.loadTexture(file, &group)) << file;
    EXPECT_FALSE(mesh.loadTexture("rgb.png", nullptr));
    EXPECT_TRUE(!group.hasTexture && group.textureId == 0u && textureNames.empty());
    EXPECT_EQ(scene->logText(), "MeshHandler: texture image not found (nothing)\nMeshHandler: texture image not found (missing.png)\n"
                                "MeshHandler: texture image cannot be read (bad.png)\n"
                                "MeshHandler: texture image with a damaged header, not loaded (wide.pbm)\n"
                                "MeshHandler: texture image in format GIF, which is not read (PNG, JPEG, BMP, TARGA "
                                "and PNM are), not loaded (pic.gif)\n");
}

TEST_F(MeshTest, JpegIsReadWithoutTheExifThatCrashesTheLibrary) {
    // Exif whose first directory claims 65535 entries: the library's Exif
    // reader looks for the next directory 786 KB past the segment.
    writeImage("plain.jpg", 3, 2, 24, 255, FIF_JPEG);
    const std::string jpeg = scene->dir.read("plain.jpg");
    scene->dir.write("exif.jpg", jpeg.substr(0, 2) + std::string("\xff\xe1\0\x12" "Exif\0\0II*\0\x08\0\0\0\xff\xff", 20) +
                                     jpeg.substr(2));
    ASSERT_TRUE(mesh.loadTexture("exif.jpg", &group));
    EXPECT_TRUE(group.imageWidth == 3u && group.imageHeight == 2u && group.pixelFormat == GLenum(GL_BGR));
}

TEST_F(MeshTest, EachMaterialOfAMeshGetsItsOwnTexture) {
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
