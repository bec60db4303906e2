// The committed data pack: every file the game reads exists and is in a form
// the game's readers take as intended.
#include <AL/alut.h>
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Config.h"
#include "engine/MeshHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/ObjFileCheck.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

using testsupport::sourcePath;

namespace {

const char* const MESHES[] = {
    "meshes/car/car.obj",           "meshes/car/car_green.obj",       "meshes/wheel/wheel.obj",
    "meshes/bulletbill.obj",        "meshes/rocket/rocket.obj",       "meshes/mine/mine.obj",
    "meshes/pickup/pickup.obj",     "meshes/particles/flameParticle.obj",
    "meshes/particles/smokeParticle.obj",
    "meshes/cube/acube.obj",        "meshes/cube/bcube.obj",          "meshes/cube/ccube.obj",
    "meshes/cube/dcube.obj",        "meshes/pokeball.obj",            "meshes/gameboy.obj",
    "meshes/glass.obj",             "meshes/pipe.obj",                "meshes/subaru.obj",
    "meshes/toiletpaper.obj",       "meshes/worldcup.obj",            "meshes/woodtable/woodtable.obj",
    "meshes/plastictable_notex.obj", "meshes/laptop/laptop.obj",      "meshes/skydome.obj",
    "meshes/helpscreen.obj",        "meshes/loadingscreen.obj",       "meshes/p1leet.obj",
    "meshes/p2leet.obj",            "meshes/icons/icon_car.obj",
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// ---------------------------------------------------------------- meshes

TEST(AssetPackMeshes, EveryMeshIsWellFormedAndItsTexturesAre8BitPerChannel) {
    FreeImage_Initialise();
    for (const char* rel : MESHES) {
        SCOPED_TRACE(rel);
        const testsupport::ObjFileReport r = testsupport::checkObjFile(sourcePath(rel));
        for (const std::string& p : r.problems) ADD_FAILURE() << rel << ": " << p;
        if (!r.problems.empty()) continue;
        for (const std::string& tex : r.textures) {
            SCOPED_TRACE(tex);
            FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(tex.c_str(), 0);
            if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(tex.c_str());
            ASSERT_NE(fif, FIF_UNKNOWN);
            FIBITMAP* img = FreeImage_Load(fif, tex.c_str(), 0);
            ASSERT_NE(img, nullptr);
            EXPECT_EQ(FreeImage_GetImageType(img), FIT_BITMAP);
            const unsigned bpp = FreeImage_GetBPP(img);
            EXPECT_TRUE(bpp == 24 || bpp == 32) << "bits per pixel " << bpp;
            const FREE_IMAGE_COLOR_TYPE ct = FreeImage_GetColorType(img);
            EXPECT_TRUE(ct == FIC_RGB || ct == FIC_RGBALPHA) << "colour type " << ct;
            EXPECT_GE(FreeImage_GetWidth(img), 1u);
            EXPECT_LE(FreeImage_GetWidth(img), 1024u);
            EXPECT_LE(FreeImage_GetHeight(img), 1024u);
            FreeImage_Unload(img);
        }
    }
    FreeImage_DeInitialise();
}

// The structure check itself finds what would spoil a mesh in the game.
TEST(AssetPackMeshes, StructureCheckFindsEachKindOfFault) {
    testsupport::TempDir dir;
    const std::string good =
        "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nusemtl a\nf 1/1/1 2/1/1 3/1/1\n";
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
        {"face before usemtl", "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\nusemtl a\nf 1//1 2//1 3//1\n"},
        {"material not in MTL", good + "usemtl b\nf 1/1/1 2/1/1 3/1/1\n"},
        {"material without faces", good + "usemtl a\nusemtl c\n"},
        {"long line", good + "# " + std::string(300, 'x') + "\n"},
        {"missing MTL", "mtllib none.mtl\n" + good.substr(std::string("mtllib m.mtl\n").size())},
    };
    for (const auto& [what, text] : faults) {
        dir.write("bad.obj", text);
        EXPECT_FALSE(testsupport::checkObjFile(dir.path() + "/bad.obj").problems.empty()) << what;
    }
    dir.write("m.mtl", "newmtl a\nmap_Kd gone.png\n");
    EXPECT_FALSE(testsupport::checkObjFile(dir.path() + "/good.obj").problems.empty()) << "missing texture";
}

// The game's own reader agrees: the groups the file selects exist with
// their triangles, and every material with a texture gets one.
TEST(AssetPackMeshes, EveryMeshLoadsThroughTheGamesReader) {
    REQUIRE_GL_CONTEXT();
    testsupport::ScopedWorkDir inRepo(sourcePath(""));
    for (const char* rel : MESHES) {
        SCOPED_TRACE(rel);
        const testsupport::ObjFileReport r = testsupport::checkObjFile(sourcePath(rel));
        if (!r.problems.empty()) {
            ADD_FAILURE() << rel << " is missing or malformed (see the structure test)";
            continue;
        }
        MeshHandler mesh;
        mesh.loadObj(rel);
        size_t vertices = 0;
        for (const auto& [material, faces] : r.facesPerMaterial) {
            FaceGroup* g = mesh.getFaceGroup(material);
            ASSERT_NE(g, nullptr) << "group " << material;
            EXPECT_EQ(g->getVertexCount(), 3u * faces) << "group " << material;
            vertices += g->getVertexCount();
            if (r.texturedMaterials.count(material)) {
                EXPECT_TRUE(g->hasTexture) << "group " << material << " lost its texture";
            }
        }
        EXPECT_EQ(vertices, 3u * r.faces);
        EXPECT_GT(mesh.radius, 0.0f);
    }
}

// ---------------------------------------------------------------- sounds

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

bool readWav(const std::string& path, Wav& w) {
    const std::string d = readAll(path);
    if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0) return false;
    auto u16 = [&](size_t o) { return static_cast<unsigned>(static_cast<uint8_t>(d[o]) | static_cast<uint8_t>(d[o + 1]) << 8); };
    auto u32 = [&](size_t o) { return u16(o) | u16(o + 2) << 16; };
    size_t pos = 12;
    bool fmt = false;
    while (pos + 8 <= d.size()) {
        const std::string id = d.substr(pos, 4);
        const size_t len = u32(pos + 4);
        if (pos + 8 + len > d.size()) return false;
        if (id == "fmt ") {
            if (len < 16 || u16(pos + 8) != 1) return false;  // PCM only
            w.channels = static_cast<int>(u16(pos + 10));
            w.rate = static_cast<int>(u32(pos + 12));
            w.bits = static_cast<int>(u16(pos + 22));
            fmt = true;
        } else if (id == "data" && fmt && w.bits == 16) {
            w.samples.resize(len / 2);
            std::memcpy(w.samples.data(), d.data() + pos + 8, w.samples.size() * 2);
            return true;
        }
        pos += 8 + len + (len & 1);
    }
    return false;
}

struct SoundSpec {
    const char* file;
    double minSeconds, maxSeconds;
};

const SoundSpec SOUNDS[] = {
    {"sounds/explode.wav", 0.5, 3.0}, {"sounds/getitem.wav", 0.2, 1.5}, {"sounds/shoot.wav", 0.2, 1.5},
    {"sounds/hitloud.wav", 0.1, 1.5}, {"sounds/hitsoft.wav", 0.1, 1.0}, {"sounds/menu.wav", 0.05, 0.5},
    {"sounds/win.wav", 1.0, 5.0},     {"sounds/bye.wav", 0.3, 1.5},     {"sounds/bgm.wav", 30.0, 60.0},
};

TEST(AssetPackSounds, EverySoundLoadsThroughAlutWithItsLength) {
    setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card needed
    ASSERT_TRUE(alutInit(nullptr, nullptr)) << alutGetErrorString(alutGetError());
    for (const SoundSpec& s : SOUNDS) {
        SCOPED_TRACE(s.file);
        const ALuint buffer = alutCreateBufferFromFile(sourcePath(s.file).c_str());
        const ALenum err = alutGetError();
        ASSERT_EQ(err, ALUT_ERROR_NO_ERROR) << alutGetErrorString(err);
        ASSERT_NE(buffer, static_cast<ALuint>(AL_NONE));
        ALint size = 0, frequency = 0, bits = 0, channels = 0;
        alGetBufferi(buffer, AL_SIZE, &size);
        alGetBufferi(buffer, AL_FREQUENCY, &frequency);
        alGetBufferi(buffer, AL_BITS, &bits);
        alGetBufferi(buffer, AL_CHANNELS, &channels);
        EXPECT_EQ(bits, 16);
        EXPECT_GE(frequency, 11025);
        ASSERT_GT(frequency * channels, 0);
        const double seconds = static_cast<double>(size) / (2.0 * channels * frequency);
        EXPECT_GE(seconds, s.minSeconds);
        EXPECT_LE(seconds, s.maxSeconds);
        alDeleteBuffers(1, &buffer);
    }
    alutExit();
}

// Audible, never clipped, and silent at both ends so starting or stopping
// makes no click; the music's last sample leads into its first.
TEST(AssetPackSounds, LevelsAndEndsAreClean) {
    for (const SoundSpec& s : SOUNDS) {
        SCOPED_TRACE(s.file);
        Wav w;
        ASSERT_TRUE(readWav(sourcePath(s.file), w));
        ASSERT_EQ(w.channels, 1);
        ASSERT_FALSE(w.samples.empty());
        int peak = 0;
        for (int16_t v : w.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, 32700) << "clipped";
        EXPECT_GT(peak, 3276) << "quieter than -20 dBFS";
        EXPECT_LE(std::abs(w.samples.front()), 330) << "starts with a click";
        EXPECT_LE(std::abs(w.samples.back()), 330) << "ends with a click";
    }
    Wav bgm;
    ASSERT_TRUE(readWav(sourcePath("sounds/bgm.wav"), bgm));
    ASSERT_GT(bgm.samples.size(), 2u);
    double meanStep = 0.0;
    for (size_t i = 1; i < bgm.samples.size(); ++i) meanStep += std::abs(bgm.samples[i] - bgm.samples[i - 1]);
    meanStep /= static_cast<double>(bgm.samples.size() - 1);
    EXPECT_LE(std::abs(bgm.samples.front() - bgm.samples.back()), meanStep) << "the loop point jumps";
}

// ---------------------------------------------------------------- font

struct Glyph {
    float dx, dy, tx1, ty1, tx2, ty2;
};

struct Font {
    int32_t header[6];
    std::vector<Glyph> glyphs;
    std::string texels;
    int width() const { return header[1]; }
    int height() const { return header[2]; }
    int alpha(int x, int y) const { return static_cast<uint8_t>(texels[2 * (static_cast<size_t>(y) * width() + x) + 1]); }
    const Glyph& glyph(char c) const { return glyphs[static_cast<size_t>(c - header[3])]; }
    // Rows of the glyph's box, top (ty1) first.
    int top(const Glyph& g) const { return static_cast<int>(std::lround(g.ty1 * height())); }
    int bottom(const Glyph& g) const { return static_cast<int>(std::lround(g.ty2 * height())); }
    int left(const Glyph& g) const { return static_cast<int>(std::lround(g.tx1 * width())); }
    int right(const Glyph& g) const { return static_cast<int>(std::lround(g.tx2 * width())); }
    int inkInRow(const Glyph& g, int y) const {
        int n = 0;
        for (int x = left(g); x < right(g); ++x) n += alpha(x, y) > 128;
        return n;
    }
    int inkInColumn(const Glyph& g, int x) const {
        int n = 0;
        for (int y = top(g); y < bottom(g); ++y) n += alpha(x, y) > 128;
        return n;
    }
};

class AssetPackFont : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string d = readAll(sourcePath("external/osaka_font.glf"));
        ASSERT_GE(d.size(), 24u) << "font file missing or short";
        std::memcpy(font.header, d.data(), 24);
        const int start = font.header[3], end = font.header[4];
        ASSERT_GT(font.width(), 0);
        ASSERT_GT(font.height(), 0);
        ASSERT_LE(start, 32);
        ASSERT_GE(end, 126);
        const size_t n = static_cast<size_t>(end - start + 1);
        const size_t texelBytes = 2u * static_cast<size_t>(font.width()) * font.height();
        ASSERT_EQ(d.size(), 24 + 24 * n + texelBytes) << "header, glyph table and texels disagree";
        font.glyphs.resize(n);
        std::memcpy(font.glyphs.data(), d.data() + 24, 24 * n);
        font.texels = d.substr(24 + 24 * n);
    }
    Font font;
};

TEST_F(AssetPackFont, TableDescribesDisjointBoxesInsideTheTexture) {
    EXPECT_EQ(font.width() % 2, 0) << "odd texWidth uploads skewed";
    const float lineHeight = font.glyph('A').dy;
    for (char c = 32; c <= 126; ++c) {
        SCOPED_TRACE(std::string("glyph '") + c + "'");
        const Glyph& g = font.glyph(c);
        EXPECT_GE(g.tx1, 0.0f);
        EXPECT_LT(g.tx1, g.tx2);
        EXPECT_LE(g.tx2, 1.0f);
        EXPECT_GE(g.ty1, 0.0f);
        EXPECT_LT(g.ty1, g.ty2);
        EXPECT_LE(g.ty2, 1.0f);
        EXPECT_FLOAT_EQ(g.dx, g.tx2 - g.tx1);
        EXPECT_FLOAT_EQ(g.dy, g.ty2 - g.ty1);
        EXPECT_FLOAT_EQ(g.dy, lineHeight) << "every glyph spans the same line height";
        for (char o = 32; o < c; ++o) {
            const Glyph& h = font.glyph(o);
            const bool apart = g.tx2 <= h.tx1 || h.tx2 <= g.tx1 || g.ty2 <= h.ty1 || h.ty2 <= g.ty1;
            EXPECT_TRUE(apart) << "overlaps '" << o << "'";
        }
        int ink = 0;
        for (int y = font.top(g); y < font.bottom(g); ++y) ink += font.inkInRow(g, y);
        if (c == ' ')
            EXPECT_EQ(ink, 0);
        else
            EXPECT_GT(ink, 0) << "no ink";
    }
}

// setText maps ty1 to a glyph's upper edge: the bar of a T must be near ty1,
// the foot of an L near ty2, and the L's stem on the left.
TEST_F(AssetPackFont, GlyphsAreStoredUpright) {
    auto widestRow = [&](const Glyph& g) {
        int best = font.top(g), most = -1;
        for (int y = font.top(g); y < font.bottom(g); ++y)
            if (font.inkInRow(g, y) > most) most = font.inkInRow(g, y), best = y;
        return static_cast<float>(best - font.top(g)) / (font.bottom(g) - font.top(g));
    };
    EXPECT_LT(widestRow(font.glyph('T')), 0.5f);
    EXPECT_GT(widestRow(font.glyph('L')), 0.5f);
    const Glyph& l = font.glyph('L');
    int best = font.left(l), most = -1;
    for (int x = font.left(l); x < font.right(l); ++x)
        if (font.inkInColumn(l, x) > most) most = font.inkInColumn(l, x), best = x;
    EXPECT_LT(best - font.left(l), (font.right(l) - font.left(l)) / 2);
}

// A glyph is drawn texels x scale^2 of the window. Lives counters (scale
// 0.024) must be clearly readable, and the frame-rate text at y = 0.97 with
// scale 0.023 must stay inside the window.
TEST_F(AssetPackFont, SizesSuitTheHud) {
    const double cell = font.glyph('A').dy * font.height();
    EXPECT_GE(cell * 0.024 * 0.024, 0.025);
    EXPECT_LE(cell * 0.024 * 0.024, 0.05);
    for (char c : std::string("0123456789 fps")) {
        const Glyph& g = font.glyph(c);
        for (int y = font.top(g); y < font.bottom(g); ++y) {
            if (font.inkInRow(g, y) == 0) continue;
            const double fromBottom = static_cast<double>(font.bottom(g) - y) / (font.bottom(g) - font.top(g));
            EXPECT_LE(0.97 + fromBottom * cell * 0.023 * 0.023, 1.0) << "'" << c << "' reaches off the window";
            break;
        }
    }
    // The longest command reply fits between x = 0.7 and the right edge.
    double width = 0.0;
    for (char c : std::string("MIP NearestNeighbour")) width += font.glyph(c).dx * font.width() * 0.02 * 0.02;
    EXPECT_LE(0.7 + width, 1.0);
}

// ---------------------------------------------------------------- settings

TEST(AssetPackConfig, ShippedSettingsReadAsIntended) {
    const std::string text = readAll(sourcePath("qelm.conf"));
    ASSERT_FALSE(text.empty());
    {
        testsupport::TempDir dir;
        dir.write("qelm.conf", text);
        EXPECT_EQ(Config::getInt("width"), 1024);
        EXPECT_EQ(Config::getInt("height"), 768);
        EXPECT_EQ(Config::getInt("fullscreen"), 0);
        const std::map<std::string, int> bindings = {
            {"p_1_up", 283}, {"p_1_down", 284}, {"p_1_left", 285}, {"p_1_right", 286}, {"p_1_fire", 290},
            {"p_2_up", 87},  {"p_2_down", 83},  {"p_2_left", 65},  {"p_2_right", 68},  {"p_2_fire", 32},
        };
        for (const auto& [key, code] : bindings) EXPECT_EQ(Config::getInt(key), code) << key;
        EXPECT_EQ(Config::getInputDevice(0), -1);
        EXPECT_EQ(Config::getInputDevice(1), -1);
        EXPECT_EQ(Config::getInputDevice(2), -2);
        Config::destroy();
    }
    // The joystick examples are there, and only in comments.
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> commented;
    while (std::getline(lines, line)) {
        const size_t hash = line.find('#');
        EXPECT_EQ(line.substr(0, hash).find("joy"), std::string::npos) << line;
        if (hash != std::string::npos) commented.insert(line.substr(hash));
    }
    for (const char* example : {"# p_1 = joy_0", "# p_1_up = joy_0_up", "# p_1_fire = joy_0_3"})
        EXPECT_EQ(commented.count(example), 1u) << example;
}

} // namespace
