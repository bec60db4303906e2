// The committed data pack: every file the game reads exists and is in a form
// the game's readers take as intended.
#include <AL/alut.h>
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Config.h"
#include "engine/FaceGroup.h"
#include "tests/support/GLContext.h"
#include "tests/support/ObjFileCheck.h"
#include "tests/support/TempDir.h"

using testsupport::sourcePath;

namespace {

std::string readAll(const std::string& path) {
    std::ostringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

// Well formed by the structure check, every texture 8 bits per channel, and
// the game's reader agrees: each selected group holds its triangles and every
// material with a texture gets one.
TEST(AssetPack, EveryMeshIsWellFormedAndLoadsThroughTheGamesReader) {
    REQUIRE_GL_CONTEXT();
    FreeImage_Initialise();
    testsupport::PackMeshes pack;
    for (const char* rel :
         {"meshes/car/car.obj", "meshes/car/car_green.obj", "meshes/wheel/wheel.obj", "meshes/bulletbill.obj",
          "meshes/rocket/rocket.obj", "meshes/mine/mine.obj", "meshes/pickup/pickup.obj",
          "meshes/particles/flameParticle.obj", "meshes/particles/smokeParticle.obj", "meshes/cube/acube.obj",
          "meshes/cube/bcube.obj", "meshes/cube/ccube.obj", "meshes/cube/dcube.obj", "meshes/pokeball.obj",
          "meshes/gameboy.obj", "meshes/glass.obj", "meshes/pipe.obj", "meshes/subaru.obj", "meshes/toiletpaper.obj",
          "meshes/worldcup.obj", "meshes/woodtable/woodtable.obj", "meshes/plastictable_notex.obj",
          "meshes/laptop/laptop.obj", "meshes/skydome.obj", "meshes/helpscreen.obj", "meshes/loadingscreen.obj",
          "meshes/p1leet.obj", "meshes/p2leet.obj", "meshes/icons/icon_car.obj"}) {
        SCOPED_TRACE(rel);
        const testsupport::ObjFileReport r = testsupport::checkObjFile(sourcePath(rel));
        for (const std::string& p : r.problems) ADD_FAILURE() << p;
        if (!r.problems.empty()) continue;
        for (const std::string& tex : r.textures) {
            FIBITMAP* img = FreeImage_Load(FreeImage_GetFileType(tex.c_str(), 0), tex.c_str(), 0);
            ASSERT_NE(img, nullptr) << tex;
            const unsigned bpp = FreeImage_GetBPP(img);
            const FREE_IMAGE_COLOR_TYPE ct = FreeImage_GetColorType(img);
            EXPECT_TRUE(FreeImage_GetImageType(img) == FIT_BITMAP && (bpp == 24 || bpp == 32) &&
                        (ct == FIC_RGB || ct == FIC_RGBALPHA))
                << tex << ": " << bpp << " bits, colour type " << ct;
            EXPECT_LE(std::max(FreeImage_GetWidth(img), FreeImage_GetHeight(img)), 1024u) << tex;
            FreeImage_Unload(img);
        }
        MeshHandler& mesh = pack.load(rel);
        size_t vertices = 0;
        for (const auto& [material, faces] : r.facesPerMaterial) {
            FaceGroup* g = mesh.getFaceGroup(material);
            ASSERT_NE(g, nullptr) << "group " << material;
            EXPECT_EQ(g->getVertexCount(), 3u * faces) << "group " << material;
            EXPECT_TRUE(g->hasTexture || !r.texturedMaterials.count(material)) << material << " lost its texture";
            vertices += g->getVertexCount();
        }
        EXPECT_EQ(vertices, 3u * r.faces);
        EXPECT_GT(mesh.radius, 0.0f);
    }
    FreeImage_DeInitialise();
}

// The structure check itself finds what would spoil a mesh in the game.
TEST(AssetPack, StructureCheckFindsEachKindOfFault) {
    testsupport::TempDir dir;
    const std::string lib = "mtllib m.mtl\n";
    const std::string good = lib + "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nusemtl a\nf 1/1/1 2/1/1 3/1/1\n";
    dir.write("m.mtl", "newmtl a\nKd 1 1 1\nmap_Kd a.png\n");
    dir.write("a.png", "not checked here");
    dir.write("good.obj", good);
    const testsupport::ObjFileReport ok = testsupport::checkObjFile(dir.path() + "/good.obj");
    EXPECT_TRUE(ok.problems.empty()) << ok.problems.front();
    EXPECT_EQ(ok.facesPerMaterial.at("a"), 1u);
    EXPECT_EQ(ok.texturedMaterials.count("a"), 1u);
    const std::pair<const char*, std::string> faults[] = {
        {"quad", good + "f 1/1/1 2/1/1 3/1/1 1/1/1\n"},
        {"position index", good + "f 1/1/1 2/1/1 4/1/1\n"},
        {"normal index", good + "f 1/1/2 2/1/1 3/1/1\n"},
        {"texture index", good + "f 1/2/1 2/1/1 3/1/1\n"},
        {"plain corners without enough normals", good + "f 1 2 3\n"},
        {"face before usemtl", lib + "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\nusemtl a\nf 1//1 2//1 3//1\n"},
        {"material not in MTL", good + "usemtl b\nf 1/1/1 2/1/1 3/1/1\n"},
        {"material without faces", good + "usemtl a\nusemtl c\n"},
        {"long line", good + "# " + std::string(300, 'x') + "\n"},
        {"missing MTL", "mtllib none.mtl\n" + good.substr(lib.size())},
    };
    for (const auto& [what, text] : faults) {
        dir.write("bad.obj", text);
        EXPECT_FALSE(testsupport::checkObjFile(dir.path() + "/bad.obj").problems.empty()) << what;
    }
    dir.write("m.mtl", "newmtl a\nmap_Kd gone.png\n");
    EXPECT_FALSE(testsupport::checkObjFile(dir.path() + "/good.obj").problems.empty()) << "missing texture";
}

// Every sound loads through ALUT as 16-bit mono of its length; audible, never
// clipped, silent at both ends so starting or stopping makes no click, and the
// music's last sample leads into its first.
TEST(AssetPack, EverySoundLoadsThroughAlutWithCleanLevelsAndEnds) {
    setenv("ALSOFT_DRIVERS", "null", 0); // no sound card needed
    ASSERT_TRUE(alutInit(nullptr, nullptr)) << alutGetErrorString(alutGetError());
    const struct {
        const char* file;
        double minSeconds, maxSeconds;
    } sounds[] = {
        {"sounds/explode.wav", 0.5, 3.0}, {"sounds/getitem.wav", 0.2, 1.5}, {"sounds/shoot.wav", 0.2, 1.5},
        {"sounds/hitloud.wav", 0.1, 1.5}, {"sounds/hitsoft.wav", 0.1, 1.0}, {"sounds/menu.wav", 0.05, 0.5},
        {"sounds/win.wav", 1.0, 5.0},     {"sounds/bye.wav", 0.3, 1.5},     {"sounds/bgm.wav", 30.0, 60.0},
    };
    for (const auto& s : sounds) {
        SCOPED_TRACE(s.file);
        ALenum format = 0;
        ALsizei size = 0;
        ALfloat frequency = 0;
        void* data = alutLoadMemoryFromFile(sourcePath(s.file).c_str(), &format, &size, &frequency);
        ASSERT_NE(data, nullptr) << alutGetErrorString(alutGetError());
        std::vector<int16_t> v(static_cast<size_t>(size) / 2);
        std::memcpy(v.data(), data, v.size() * 2);
        free(data);
        ASSERT_EQ(format, AL_FORMAT_MONO16);
        ASSERT_GE(frequency, 11025.0f);
        ASSERT_GT(v.size(), 2u);
        EXPECT_GE(v.size() / frequency, s.minSeconds);
        EXPECT_LE(v.size() / frequency, s.maxSeconds);
        int peak = 0;
        double meanStep = 0.0;
        for (size_t i = 0; i < v.size(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(v[i])));
            if (i) meanStep += std::abs(v[i] - v[i - 1]) / static_cast<double>(v.size() - 1);
        }
        EXPECT_LT(peak, 32700) << "clipped";
        EXPECT_GT(peak, 3276) << "quieter than -20 dBFS";
        EXPECT_LE(std::abs(v.front()), 330) << "starts with a click";
        EXPECT_LE(std::abs(v.back()), 330) << "ends with a click";
        if (std::string(s.file) == "sounds/bgm.wav") {
            EXPECT_LE(std::abs(v.front() - v.back()), meanStep) << "the loop point jumps";
        }
    }
    alutExit();
}

struct Glyph {
    float dx, dy, tx1, ty1, tx2, ty2;
};

// The font file: header, glyph table and texels (luminance, alpha) must agree.
class AssetPackFont : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string d = readAll(sourcePath("external/osaka_font.glf"));
        ASSERT_GE(d.size(), 24u) << "font file missing or short";
        std::memcpy(header, d.data(), 24);
        ASSERT_TRUE(width() > 0 && height() > 0 && header[3] <= 32 && header[4] >= 126);
        const size_t n = static_cast<size_t>(header[4] - header[3] + 1);
        ASSERT_EQ(d.size(), 24 + 24 * n + 2u * width() * height()) << "header, glyph table and texels disagree";
        glyphs.resize(n);
        std::memcpy(glyphs.data(), d.data() + 24, 24 * n);
        texels = d.substr(24 + 24 * n);
    }
    int width() const { return header[1]; }
    int height() const { return header[2]; }
    const Glyph& glyph(char c) const { return glyphs[static_cast<size_t>(c - header[3])]; }
    // The glyph's box in texels, top row (ty1) first.
    int top(const Glyph& g) const { return static_cast<int>(std::lround(g.ty1 * height())); }
    int bottom(const Glyph& g) const { return static_cast<int>(std::lround(g.ty2 * height())); }
    int left(const Glyph& g) const { return static_cast<int>(std::lround(g.tx1 * width())); }
    int right(const Glyph& g) const { return static_cast<int>(std::lround(g.tx2 * width())); }
    // Texels with alpha above 128 in columns [x0, x1) of rows [y0, y1).
    int ink(int x0, int x1, int y0, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += static_cast<uint8_t>(texels[2 * (static_cast<size_t>(y) * width() + x) + 1]) > 128;
        return n;
    }
    int inkInRow(const Glyph& g, int y) const { return ink(left(g), right(g), y, y + 1); }
    int32_t header[6];
    std::vector<Glyph> glyphs;
    std::string texels;
};

TEST_F(AssetPackFont, TableDescribesDisjointInkedBoxesInsideTheTexture) {
    EXPECT_EQ(width() % 2, 0) << "odd texWidth uploads skewed";
    for (char c = 32; c <= 126; ++c) {
        SCOPED_TRACE(std::string("glyph '") + c + "'");
        const Glyph& g = glyph(c);
        EXPECT_TRUE(0 <= g.tx1 && g.tx1 < g.tx2 && g.tx2 <= 1 && 0 <= g.ty1 && g.ty1 < g.ty2 && g.ty2 <= 1);
        EXPECT_FLOAT_EQ(g.dx, g.tx2 - g.tx1);
        EXPECT_FLOAT_EQ(g.dy, g.ty2 - g.ty1);
        EXPECT_FLOAT_EQ(g.dy, glyph('A').dy) << "every glyph spans the same line height";
        for (char o = 32; o < c; ++o) {
            const Glyph& h = glyph(o);
            EXPECT_TRUE(g.tx2 <= h.tx1 || h.tx2 <= g.tx1 || g.ty2 <= h.ty1 || h.ty2 <= g.ty1) << "overlaps '" << o << "'";
        }
        EXPECT_EQ(ink(left(g), right(g), top(g), bottom(g)) > 0, c != ' ');
    }
}

// setText maps ty1 to a glyph's upper edge: the bar of a T must be near ty1,
// the foot of an L near ty2, and the L's stem on the left.
TEST_F(AssetPackFont, GlyphsAreStoredUpright) {
    auto widestRow = [&](const Glyph& g) {
        int best = top(g);
        for (int y = top(g); y < bottom(g); ++y)
            if (inkInRow(g, y) > inkInRow(g, best)) best = y;
        return static_cast<float>(best - top(g)) / (bottom(g) - top(g));
    };
    EXPECT_LT(widestRow(glyph('T')), 0.5f);
    EXPECT_GT(widestRow(glyph('L')), 0.5f);
    const Glyph& l = glyph('L');
    int best = left(l);
    for (int x = left(l); x < right(l); ++x)
        if (ink(x, x + 1, top(l), bottom(l)) > ink(best, best + 1, top(l), bottom(l))) best = x;
    EXPECT_LT(best - left(l), (right(l) - left(l)) / 2);
}

// A glyph is drawn texels x scale^2 of the window. Lives counters (scale
// 0.024) must be clearly readable, the frame-rate text at y = 0.97 with
// scale 0.023 must stay inside the window, and the longest command reply
// (scale 0.02) fits between x = 0.7 and the right edge.
TEST_F(AssetPackFont, SizesSuitTheHud) {
    const double cell = glyph('A').dy * height();
    EXPECT_GE(cell * 0.024 * 0.024, 0.025);
    EXPECT_LE(cell * 0.024 * 0.024, 0.05);
    for (char c : std::string("0123456789 fps")) {
        const Glyph& g = glyph(c);
        int y = top(g);
        while (y < bottom(g) && inkInRow(g, y) == 0) ++y;
        const double fromBottom = static_cast<double>(bottom(g) - y) / (bottom(g) - top(g));
        EXPECT_LE(0.97 + fromBottom * cell * 0.023 * 0.023, 1.0) << "'" << c << "' reaches off the window";
    }
    double width = 0.0;
    for (char c : std::string("MIP NearestNeighbour")) width += glyph(c).dx * this->width() * 0.02 * 0.02;
    EXPECT_LE(0.7 + width, 1.0);
}

TEST(AssetPackConfig, ShippedSettingsReadAsIntended) {
    const std::string text = readAll(sourcePath("qelm.conf"));
    ASSERT_FALSE(text.empty());
    {
        testsupport::TempDir dir;
        dir.write("qelm.conf", text);
        const std::map<std::string, int> values = {
            {"width", 1024},  {"height", 768},   {"fullscreen", 0},
            {"p_1_up", 283},  {"p_1_down", 284}, {"p_1_left", 285}, {"p_1_right", 286}, {"p_1_fire", 290},
            {"p_2_up", 87},   {"p_2_down", 83},  {"p_2_left", 65},  {"p_2_right", 68},  {"p_2_fire", 32},
        };
        for (const auto& [key, value] : values) EXPECT_EQ(Config::getInt(key), value) << key;
        EXPECT_EQ(Config::getInputDevice(0), -1);
        EXPECT_EQ(Config::getInputDevice(1), -1);
        EXPECT_EQ(Config::getInputDevice(2), -2);
        Config::destroy();
    }
    // The joystick examples are there, and only in comments.
    std::istringstream lines(text);
    std::string line, comments = "\n";
    while (std::getline(lines, line)) {
        const size_t hash = line.find('#');
        EXPECT_EQ(line.substr(0, hash).find("joy"), std::string::npos) << line;
        if (hash != std::string::npos) comments += line.substr(hash) + "\n";
    }
    for (const char* example : {"\n# p_1 = joy_0\n", "\n# p_1_up = joy_0_up\n", "\n# p_1_fire = joy_0_3\n"})
        EXPECT_NE(comments.find(example), std::string::npos) << example;
}

} // namespace
