// The committed data pack: every file is in a form the game's readers take
// as intended, and shaped the way the game sizes and places it.
#include <AL/alut.h>
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "engine/Config.h"
#include "engine/FaceGroup.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

using testsupport::sourcePath;

namespace {

std::string readAll(const std::string& path) {
    std::ostringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

// What the game's lenient reader would hide: over-long lines, faces that are
// not triangles, corner indices outside the lists. Counts the faces.
std::string scanObj(const std::string& text, size_t& faces) {
    std::map<std::string, long> n;
    std::string line, kw;
    for (std::istringstream in(text); std::getline(in, line); ++n[kw]) kw.clear(), std::istringstream(line) >> kw;
    for (std::istringstream in(text); std::getline(in, line);) {
        std::istringstream words(line);
        std::string corner;
        if (line.size() > 254) return "long line";
        if (!(words >> kw) || kw != "f") continue;
        int corners = 0;
        for (; words >> corner; ++corners) {
            char* at = corner.data();
            const long v = std::strtol(at, &at, 10), t = *at ? std::strtol(at + 1, &at, 10) : 0,
                       vn = *at ? std::strtol(at + 1, &at, 10) : 0;
            if (v < 1 || v > n["v"] || t < 0 || t > n["vt"] || vn < 1 || vn > n["vn"]) return "index: " + line;
        }
        if (corners != 3) return "not a triangle: " + line;
        ++faces;
    }
    return "";
}

TEST(AssetPack, EveryMeshIsWellFormedAndLoadsWhole) {
    REQUIRE_GL_CONTEXT();
    testsupport::TempDir dir;
    Log::destroy();
    int count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sourcePath("meshes"))) {
        const std::string path = entry.path().string();
        if (entry.path().extension() != ".obj") continue;
        ++count;
        SCOPED_TRACE(path);
        size_t faces = 0, vertices = 0;
        EXPECT_EQ(scanObj(readAll(path), faces), "");
        MeshHandler mesh;
        mesh.verbose = true;
        mesh.loadObj(path);
        for (auto& [name, g] : mesh.getFaceGroups()) {
            EXPECT_GT(g->getVertexCount(), 0u) << "group without faces: " << name;
            vertices += g->getVertexCount();
        }
        EXPECT_EQ(vertices, 3 * faces);
        EXPECT_GT(mesh.radius, 0.0f);
    }
    EXPECT_GE(count, 29);
    const std::string log = dir.read("qelm.log"); // material, MTL file or texture missing or unreadable
    Log::destroy();
    EXPECT_NE(log.find("Mesh file found"), std::string::npos);
    for (const char* fault : {"not found", "Could", "Unknown"}) EXPECT_EQ(log.find(fault), std::string::npos) << log;
    FreeImage_Initialise();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sourcePath("meshes"))) {
        if (entry.path().extension() != ".png") continue;
        FIBITMAP* img = FreeImage_Load(FIF_PNG, entry.path().c_str(), 0);
        ASSERT_NE(img, nullptr) << entry.path();
        const unsigned bpp = FreeImage_GetBPP(img), side = std::max(FreeImage_GetWidth(img), FreeImage_GetHeight(img));
        EXPECT_TRUE(FreeImage_GetImageType(img) == FIT_BITMAP && (bpp == 24 || bpp == 32) && side <= 1024)
            << entry.path() << ": " << bpp << " bits, " << side << " pixels";
        FreeImage_Unload(img);
    }
    FreeImage_DeInitialise();
}

// Every sound loads through ALUT as 16-bit mono of its length; audible, never
// clipped, silent at both ends (no click), the music's end leading into its start.
TEST(AssetPackSounds, LoadThroughAlutWithCleanLevelsAndEnds) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    ASSERT_TRUE(alutInit(nullptr, nullptr)) << alutGetErrorString(alutGetError());
    const std::tuple<const char*, double, double> sounds[] = {{"explode", 0.5, 3}, {"getitem", 0.2, 1.5},
        {"shoot", 0.2, 1.5}, {"hitloud", 0.1, 1.5}, {"hitsoft", 0.1, 1}, {"menu", 0.05, 0.5}, {"win", 1, 5},
        {"bye", 0.3, 1.5}, {"bgm", 30, 60}};
    for (const auto& [name, shortest, longest] : sounds) {
        SCOPED_TRACE(name);
        ALenum format = 0;
        ALsizei size = 0;
        ALfloat hz = 0;
        void* data = alutLoadMemoryFromFile(sourcePath(std::string("sounds/") + name + ".wav").c_str(), &format, &size, &hz);
        ASSERT_NE(data, nullptr) << alutGetErrorString(alutGetError());
        std::vector<int16_t> v(size_t(size) / 2);
        std::memcpy(v.data(), data, v.size() * 2);
        free(data);
        ASSERT_TRUE(format == AL_FORMAT_MONO16 && hz >= 11025.0f && v.size() > 2);
        EXPECT_TRUE(v.size() / hz >= shortest && v.size() / hz <= longest) << v.size() / hz << " s";
        int peak = 0;
        double meanStep = 0.0;
        for (size_t i = 1; i < v.size(); ++i) {
            peak = std::max(peak, std::abs(int(v[i])));
            meanStep += std::abs(v[i] - v[i - 1]) / double(v.size() - 1);
        }
        EXPECT_TRUE(peak < 32700 && peak > 3276) << peak << ": clipped, or quieter than -20 dBFS";
        EXPECT_TRUE(std::abs(v.front()) <= 330 && std::abs(v.back()) <= 330) << "a click at an end";
        EXPECT_TRUE(std::string(name) != "bgm" || std::abs(v.front() - v.back()) <= meanStep) << "loop jumps";
    }
    alutExit();
}

// Header, glyph table and texels (luminance, alpha) agree; the glyphs are
// boxes of one line height inside the texture, inked but the space, and
// stored upright (a T's bar near ty1, where the quads of setText put it).
TEST(AssetPackFont, GlyphTableDescribesUprightInkedBoxes) {
    const std::string d = readAll(sourcePath("external/osaka_font.glf"));
    ASSERT_GE(d.size(), 24u);
    int32_t h[6];
    std::memcpy(h, d.data(), 24);
    const int w = h[1], ht = h[2];
    ASSERT_TRUE(w > 0 && ht > 0 && w % 2 == 0 && h[3] <= 32 && h[4] >= 126) << "odd widths upload skewed";
    const size_t n = size_t(h[4] - h[3] + 1);
    ASSERT_EQ(d.size(), 24 + 24 * n + 2u * w * ht);
    std::vector<std::array<float, 6>> glyphs(n); // dx, dy, tx1, ty1, tx2, ty2
    std::memcpy(glyphs.data(), d.data() + 24, 24 * n);
    auto ink = [&](const std::array<float, 6>& q, float y0, float y1) { // texels with alpha above 128
        int sum = 0;
        for (long y = std::lround(y0 * ht); y < std::lround(y1 * ht); ++y)
            for (long x = std::lround(q[2] * w); x < std::lround(q[4] * w); ++x)
                sum += uint8_t(d[24 + 24 * n + 2 * (size_t(y) * w + x) + 1]) > 128;
        return sum;
    };
    for (char c = 32; c <= 126; ++c) {
        const auto& q = glyphs[size_t(c - h[3])];
        EXPECT_TRUE(0 <= q[2] && q[2] < q[4] && q[4] <= 1 && 0 <= q[3] && q[3] < q[5] && q[5] <= 1) << c;
        EXPECT_TRUE(std::fabs(q[0] - (q[4] - q[2])) < 1e-6f && std::fabs(q[1] - (q[5] - q[3])) < 1e-6f) << c;
        EXPECT_FLOAT_EQ(q[1], glyphs['A' - h[3]][1]) << c;
        EXPECT_EQ(ink(q, q[3], q[5]) > 0, c != ' ') << c;
    }
    const auto& t = glyphs['T' - h[3]];
    EXPECT_GT(ink(t, t[3], (t[3] + t[5]) / 2), ink(t, (t[3] + t[5]) / 2, t[5]));
}

TEST(AssetPackConfig, ShippedSettingsReadAsIntendedWithJoystickExamplesInComments) {
    testsupport::TempDir dir;
    const std::string text = readAll(sourcePath("qelm.conf"));
    dir.write("qelm.conf", text);
    const std::map<std::string, int> values = {{"width", 1024}, {"height", 768}, {"fullscreen", 0},
        {"p_1_up", 283}, {"p_1_down", 284}, {"p_1_left", 285}, {"p_1_right", 286}, {"p_1_fire", 290},
        {"p_2_up", 87}, {"p_2_down", 83}, {"p_2_left", 65}, {"p_2_right", 68}, {"p_2_fire", 32}};
    for (const auto& [key, value] : values) EXPECT_EQ(Config::getInt(key), value) << key;
    // Both players on the keyboard; the joystick lines are examples in comments.
    EXPECT_EQ(glm::ivec3(Config::getInputDevice(0), Config::getInputDevice(1), Config::getInputDevice(2)),
              glm::ivec3(-1, -1, -2));
    for (const char* example : {"\n# p_1 = joy_0\n", "\n# p_1_up = joy_0_up\n", "\n# p_1_fire = joy_0_3\n"})
        EXPECT_NE(text.find(example), std::string::npos) << example;
    Config::destroy();
    Log::destroy();
}

} // namespace
