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
#include <memory>
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

bool centred(const MeshHandler& m) {
    const float tol = 1e-3f * std::max({m.maxX, m.maxY, m.maxZ});
    return std::fabs(m.minX + m.maxX) <= tol && std::fabs(m.minY + m.maxY) <= tol && std::fabs(m.minZ + m.maxZ) <= tol;
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

class AssetPack : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        Log::destroy();
    }
    void TearDown() override { Log::destroy(); }
    // Through the game's reader, from the source tree; its log goes to `dir`.
    MeshHandler& load(const std::string& rel, bool verbose = false) {
        meshes.push_back(std::make_unique<MeshHandler>());
        meshes.back()->verbose = verbose;
        meshes.back()->loadObj(sourcePath(rel));
        return *meshes.back();
    }
    testsupport::TempDir dir;
    std::vector<std::unique_ptr<MeshHandler>> meshes;
};

TEST_F(AssetPack, EveryMeshIsWellFormedAndLoadsWhole) {
    int count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sourcePath("meshes"))) {
        const std::string path = entry.path().string(), rel = path.substr(sourcePath("").size());
        if (entry.path().extension() != ".obj") continue;
        ++count;
        SCOPED_TRACE(rel);
        size_t faces = 0, vertices = 0;
        EXPECT_EQ(scanObj(readAll(path), faces), "");
        MeshHandler& mesh = load(rel, true);
        for (auto& [name, g] : mesh.getFaceGroups()) {
            EXPECT_GT(g->getVertexCount(), 0u) << "group without faces: " << name;
            vertices += g->getVertexCount();
        }
        EXPECT_EQ(vertices, 3 * faces);
        EXPECT_GT(mesh.radius, 0.0f);
    }
    EXPECT_GE(count, 29);
    const std::string log = dir.read("qelm.log"); // material, MTL file or texture missing or unreadable
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

TEST_F(AssetPack, PropsAreCentredAndRestOnTheTableTopWhichEndsBeforeTheLostLine) {
    const MeshHandler& t = load("meshes/woodtable/woodtable.obj");
    EXPECT_FLOAT_EQ(t.maxY, 1.0f); // placed at y = -1: its top is the floor y = 0
    EXPECT_TRUE(t.minX == -t.maxX && t.minZ == -t.maxZ && t.maxX < 150.0f && t.maxZ < 150.0f);
    const struct {
        const char* mesh;
        float scale;
        glm::vec3 at;
    } props[] = {{"cube/acube", 10, {-30, 10, 49}}, {"cube/bcube", 10, {0, 10, 51}}, {"cube/ccube", 10, {30, 10, 50}},
                 {"cube/dcube", 10, {-30, 10, -49}}, {"worldcup", 10, {0, 30, 0}}, {"gameboy", 2, {-75, 5, -75}},
                 {"pipe", 5, {70, 10, 70}}, {"subaru", 200, {-50, 5, 20}}, {"toiletpaper", 170, {-50, 10, -20}},
                 {"glass", 6, {50, 5, -40}}, {"pokeball", 100, {50, 10, 0}}, {"mine/mine", 1, {-50, 2, -50}},
                 {"pickup/pickup", 1, {0, 2, 75}}};
    for (const auto& p : props) {
        SCOPED_TRACE(p.mesh);
        const MeshHandler& m = load(std::string("meshes/") + p.mesh + ".obj");
        ASSERT_GT(m.maxY - m.minY, 0.0f) << "mesh did not load";
        // Mine and box are drawn 2 high over boxes 4 high: their mesh spans the 2 below the origin.
        const float s = p.scale == 1 ? 2.0f / (m.maxY - m.minY) : p.scale;
        EXPECT_TRUE(p.scale == 1 ? std::fabs(m.maxY) < 1e-3f : centred(m)); // boxes reach maxima both ways
        EXPECT_NEAR(m.minX, -m.maxX, 1e-3f * m.maxX);
        EXPECT_NEAR(p.at.y + s * m.minY, 0.0f, 0.01f * p.at.y);
        EXPECT_LE(std::max(std::fabs(p.at.x), std::fabs(p.at.z)) + s * std::max(m.maxX, m.maxZ),
                  std::min(t.maxX, t.maxZ));
    }
    EXPECT_NEAR(load("meshes/pokeball.obj").maxX * 100.0f, 10.0f, 0.01f); // the ball's sphere
}

TEST_F(AssetPack, CarsAreSixByTwoByThreeAndTheSkySurroundsTheArena) {
    const MeshHandler& wheel = load("meshes/wheel/wheel.obj");
    const float wheelHalfWidth = (wheel.maxX - wheel.minX) / (wheel.maxY - wheel.minY) / 2;
    for (const char* rel : {"meshes/car/car.obj", "meshes/car/car_green.obj"}) {
        const MeshHandler& car = load(rel);
        const float s = 6.0f / (car.maxZ - car.minZ), w = (car.maxX - car.minX) * s; // scaled to length 6
        EXPECT_TRUE(centred(car)) << rel;
        EXPECT_NEAR((car.maxY - car.minY) * s, 2.0f, 0.3f) << rel;
        EXPECT_NEAR(w, 3.0f, 0.3f) << rel;
        EXPECT_LE(0.4f * w + wheelHalfWidth, w / 2) << rel; // wheels within the body's width
    }
    // Seen from inside, enclosing every chase-camera eye, inside the far plane.
    MeshHandler& sky = load("meshes/skydome.obj");
    float nearest = 1e30f, farthest = 0.0f;
    size_t inward = 0, triangles = 0;
    for (auto& [name, g] : sky.getFaceGroups())
        for (size_t i = 0; i + 2 < g->vertices->size(); i += 3) {
            const glm::vec3 a((*g->vertices)[i]), b((*g->vertices)[i + 1]), c((*g->vertices)[i + 2]);
            for (const glm::vec3& p : {a, b, c}) nearest = std::min(nearest, glm::length(p));
            for (const glm::vec3& p : {a, b, c}) farthest = std::max(farthest, glm::length(p));
            const glm::vec3 n = glm::cross(b - a, c - a);
            if (glm::length(n) < 1e-3f * glm::length(b - a) * glm::length(c - a)) continue; // pole slivers
            ++triangles;
            inward += glm::dot(n, a + b + c) < 0;
        }
    EXPECT_TRUE(triangles > 100 && inward == triangles) << inward << " of " << triangles;
    EXPECT_GT(50.0f * nearest, 500.0f); // at (0, -100, 0), scale 50
    EXPECT_LT(50.0f * farthest + 500.0f, 10000.0f);
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
// boxes of the same line height inside the texture, inked but the space,
// disjoint, and stored upright (a T's bar near ty1); lives counters are
// readable (a glyph is texels x scale^2 of the window).
TEST(AssetPackFont, GlyphTableDescribesUprightInkedBoxesOfAReadableSize) {
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
    auto g = [&](char c) { return glyphs[size_t(c - h[3])]; };
    auto ink = [&](float x0, float x1, float y0, float y1) { // texels with alpha above 128
        int sum = 0;
        for (long y = std::lround(y0 * ht); y < std::lround(y1 * ht); ++y)
            for (long x = std::lround(x0 * w); x < std::lround(x1 * w); ++x)
                sum += uint8_t(d[24 + 24 * n + 2 * (size_t(y) * w + x) + 1]) > 128;
        return sum;
    };
    auto same = [](float a, float b) { return std::fabs(a - b) < 1e-6f; };
    for (char c = 32; c <= 126; ++c) {
        const auto q = g(c);
        EXPECT_TRUE(0 <= q[2] && q[2] < q[4] && q[4] <= 1 && 0 <= q[3] && q[3] < q[5] && q[5] <= 1) << c;
        EXPECT_TRUE(same(q[0], q[4] - q[2]) && same(q[1], q[5] - q[3]) && same(q[1], g('A')[1])) << c;
        for (char o = 32; o < c; ++o)
            EXPECT_TRUE(q[4] <= g(o)[2] || g(o)[4] <= q[2] || q[5] <= g(o)[3] || g(o)[5] <= q[3]) << c << o;
        EXPECT_EQ(ink(q[2], q[4], q[3], q[5]) > 0, c != ' ') << c;
    }
    const auto t = g('T'), l = g('L');
    EXPECT_GT(ink(t[2], t[4], t[3], (t[3] + t[5]) / 2), ink(t[2], t[4], (t[3] + t[5]) / 2, t[5])); // bar on top
    EXPECT_GT(ink(l[2], (l[2] + l[4]) / 2, l[3], l[5]), ink((l[2] + l[4]) / 2, l[4], l[3], l[5])); // stem left
    const double cell = g('A')[1] * ht * 0.024 * 0.024;
    EXPECT_TRUE(cell >= 0.025 && cell <= 0.05) << cell;
}

TEST(AssetPackConfig, ShippedSettingsReadAsIntendedWithJoystickExamplesInComments) {
    const std::string text = readAll(sourcePath("qelm.conf"));
    {
        testsupport::TempDir dir;
        dir.write("qelm.conf", text);
        const std::map<std::string, int> values = {{"width", 1024}, {"height", 768}, {"fullscreen", 0},
            {"p_1_up", 283}, {"p_1_down", 284}, {"p_1_left", 285}, {"p_1_right", 286}, {"p_1_fire", 290},
            {"p_2_up", 87}, {"p_2_down", 83}, {"p_2_left", 65}, {"p_2_right", 68}, {"p_2_fire", 32}};
        for (const auto& [key, value] : values) EXPECT_EQ(Config::getInt(key), value) << key;
        EXPECT_EQ(glm::ivec3(Config::getInputDevice(0), Config::getInputDevice(1), Config::getInputDevice(2)),
                  glm::ivec3(-1, -1, -2));
        Config::destroy();
    }
    std::istringstream lines(text);
    std::string line, comments = "\n";
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.substr(0, line.find('#')).find("joy"), std::string::npos) << line;
        if (line.find('#') != std::string::npos) comments += line.substr(line.find('#')) + "\n";
    }
    for (const char* example : {"\n# p_1 = joy_0\n", "\n# p_1_up = joy_0_up\n", "\n# p_1_fire = joy_0_3\n"})
        EXPECT_NE(comments.find(example), std::string::npos) << example;
}

} // namespace
