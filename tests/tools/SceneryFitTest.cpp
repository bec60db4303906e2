// The scenery meshes fit the way the arena uses them: props centred on their
// collision boxes and standing on the table top, the table a floor wide enough
// for everything placed on it, the sky dome seen from inside and never culled
// or clipped by the far plane.
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/FaceGroup.h"
#include "tests/support/GLContext.h"
#include "tests/support/ObjFileCheck.h"

namespace {

class SceneryFit : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
    MeshHandler& load(const std::string& rel) { return pack.load(rel); }
    testsupport::PackMeshes pack;
};

float maxAbs(const MeshHandler& m) {
    return std::max({std::fabs(m.minX), m.maxX, std::fabs(m.minY), m.maxY, std::fabs(m.minZ), m.maxZ});
}

// Every physical prop of the final arena with its scale and position.
const struct Placed {
    const char* mesh;
    float scale;
    glm::vec3 position;
} kProps[] = {
    {"meshes/cube/acube.obj", 10, {-30, 10, 49}},   {"meshes/cube/bcube.obj", 10, {0, 10, 51}},
    {"meshes/cube/ccube.obj", 10, {30, 10, 50}},    {"meshes/cube/dcube.obj", 10, {-30, 10, -49}},
    {"meshes/worldcup.obj", 10, {0, 30, 0}},        {"meshes/gameboy.obj", 2, {-75, 5, -75}},
    {"meshes/pipe.obj", 5, {70, 10, 70}},           {"meshes/subaru.obj", 200, {-50, 5, 20}},
    {"meshes/toiletpaper.obj", 170, {-50, 10, -20}}, {"meshes/glass.obj", 6, {50, 5, -40}},
};

TEST_F(SceneryFit, PropsAreCentredAndRestOnTheTableTopWhichEndsBeforeTheLostLine) {
    const MeshHandler& t = load("meshes/woodtable/woodtable.obj");
    EXPECT_FLOAT_EQ(t.maxY, 1.0f); // placed at y = -1: its top is the floor y = 0
    EXPECT_NEAR(t.minX, -t.maxX, 1e-3f);
    EXPECT_NEAR(t.minZ, -t.maxZ, 1e-3f);
    EXPECT_LT(t.maxX, 150.0f); // cars count as lost past 150
    EXPECT_LT(t.maxZ, 150.0f);
    for (const Placed& p : kProps) {
        SCOPED_TRACE(p.mesh);
        const MeshHandler& m = load(p.mesh);
        ASSERT_GT(m.maxY, 0.0f) << "mesh did not load";
        const float tol = 1e-3f * maxAbs(m);
        EXPECT_NEAR(m.minX, -m.maxX, tol); // the box mirrors max to both sides
        EXPECT_NEAR(m.minY, -m.maxY, tol);
        EXPECT_NEAR(m.minZ, -m.maxZ, tol);
        EXPECT_NEAR(p.position.y - p.scale * m.maxY, 0.0f, 0.01f * p.position.y);
        const float reach = p.scale * std::max(m.maxX, m.maxZ); // any turn about y
        EXPECT_LE(std::fabs(p.position.x) + reach, t.maxX);
        EXPECT_LE(std::fabs(p.position.z) + reach, t.maxZ);
    }
    // Start points, pick-up boxes, mines and blocks of both levels, 12 units spare.
    const glm::vec2 points[] = {{90, -90}, {-90, 90}, {0, 75},  {0, -75},   {25, 0},  {-25, 0},   {-50, -50}, {90, -10},
                                {0, 70},   {10, 70},  {25, 30}, {-40, -90}, {80, 50}, {-50, 68}, {35, -60},  {50, 0}};
    for (const glm::vec2& p : points) {
        EXPECT_LE(std::fabs(p.x) + 12.0f, t.maxX) << p.x << ", " << p.y;
        EXPECT_LE(std::fabs(p.y) + 12.0f, t.maxZ) << p.x << ", " << p.y;
    }
    bool textured = false; // wood grain
    for (auto& [name, g] : const_cast<MeshHandler&>(t).getFaceGroups()) textured |= g->hasTexture;
    EXPECT_TRUE(textured);
    // The ball's sphere has radius maxX x 100 and sits at y = 10; letter blocks have half-size 1.
    const MeshHandler& ball = load("meshes/pokeball.obj");
    EXPECT_NEAR(ball.maxX * 100.0f, 10.0f, 0.01f);
    EXPECT_NEAR(ball.minY, -ball.maxY, 1e-4f);
    EXPECT_NEAR(ball.maxY, ball.maxX, 1e-4f);
    for (const char* c : {"meshes/cube/acube.obj", "meshes/cube/dcube.obj"}) {
        const MeshHandler& cube = load(c);
        EXPECT_EQ(glm::vec3(cube.maxX, cube.maxY, cube.maxZ), glm::vec3(1.0f)) << c;
    }
}

TEST_F(SceneryFit, SkyDomeSurroundsTheArenaFromInsideAndIsNeverCulledOrClipped) {
    MeshHandler& sky = load("meshes/skydome.obj");
    const glm::vec3 at(0, -100, 0);
    const float scale = 50.0f, zNear = 0.1f, zFar = 10000.0f;
    float nearest = 1e30f, farthest = 0.0f;
    size_t facing = 0, triangles = 0;
    for (auto& [name, g] : sky.getFaceGroups()) {
        const auto& v = *g->vertices;
        for (size_t i = 0; i + 2 < v.size(); i += 3) {
            const glm::vec3 a(v[i]), b(v[i + 1]), c(v[i + 2]);
            for (const glm::vec3& p : {a, b, c}) {
                nearest = std::min(nearest, glm::length(p));
                farthest = std::max(farthest, glm::length(p));
            }
            const glm::vec3 n = glm::cross(b - a, c - a);
            if (glm::length(n) < 1e-3f * glm::length(b - a) * glm::length(c - a)) continue; // pole slivers
            ++triangles;
            facing += glm::dot(n, (a + b + c) / 3.0f) < 0; // front faces look at the centre
        }
    }
    ASSERT_GT(triangles, 100u);
    EXPECT_EQ(facing, triangles) << "faces wound for viewing from outside";
    // Chase-camera eyes over the whole play volume, every heading, also pulled back with Page Up.
    float worstNear = 1e30f, farthestEye = 0.0f;
    for (float x = -150; x <= 150; x += 15)
        for (float z = -150; z <= 150; z += 15)
            for (float y : {-10.0f, 0.0f, 2.0f, 30.0f})
                for (int deg = 0; deg < 360; deg += 15)
                    for (const glm::vec2& back : {glm::vec2(13, 10), glm::vec2(113, 60), glm::vec2(213, 110)}) {
                        const glm::vec3 car(x, y, z);
                        const float r = glm::radians(static_cast<float>(deg));
                        const glm::vec3 eye = car - glm::vec3(std::sin(r), 0, std::cos(r)) * back.x + glm::vec3(0, back.y, 0);
                        const glm::vec3 look = glm::normalize(car + glm::vec3(0, 5, 0) - eye);
                        // Signed distance of the dome's centre to the near plane.
                        worstNear = std::min(worstNear, glm::dot(look, at - (eye + look * zNear)));
                        farthestEye = std::max(farthestEye, glm::length(eye - at));
                    }
    EXPECT_GT(sky.radius, -worstNear + 10.0f) << "culled from some chase positions";
    EXPECT_LT(scale * farthest + farthestEye, zFar); // inside the far plane from every eye
    EXPECT_GT(0.95f * scale * nearest, farthestEye); // and enclosing every eye
    EXPECT_NEAR(sky.radius, 1.5f * maxAbs(sky), 1e-3f);
}

TEST_F(SceneryFit, GlassIsTransparentAndEveryPropKeepsItsMaterials) {
    float leastOpaque = 1.0f;
    for (auto& [name, g] : load("meshes/glass.obj").getFaceGroups()) leastOpaque = std::min(leastOpaque, g->d);
    EXPECT_LT(leastOpaque, 1.0f);
    for (const char* rel : {"meshes/laptop/laptop.obj", "meshes/plastictable_notex.obj", "meshes/subaru.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        EXPECT_GT(m.getFaceGroupCount(), 1u);
        for (auto& [name, g] : m.getFaceGroups()) EXPECT_GT(g->Kd.r + g->Kd.g + g->Kd.b, 0.0f) << name;
    }
    // The untextured table: no texture, box fixed at (100, 1, 100).
    MeshHandler& plastic = load("meshes/plastictable_notex.obj");
    for (auto& [name, g] : plastic.getFaceGroups()) EXPECT_FALSE(g->hasTexture) << name;
    EXPECT_FLOAT_EQ(plastic.maxX, 100.0f);
    EXPECT_FLOAT_EQ(plastic.maxY, 1.0f);
}

} // namespace
