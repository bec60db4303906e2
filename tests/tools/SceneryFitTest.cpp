// The scenery meshes fit the way the arena uses them: props are centred so
// their collision boxes match what is drawn and they stand on the table top,
// the table is the floor at y = 0 wide enough for everything placed on it,
// and the sky dome surrounds the arena from inside without being culled or
// clipped by the far plane.
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/MeshHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

using testsupport::sourcePath;

namespace {

// Loads a mesh of the committed pack through the game's own reader.
class SceneryFit : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
    MeshHandler& load(const std::string& rel) {
        testsupport::ScopedWorkDir inRepo(sourcePath(""));
        meshes.push_back(std::make_unique<MeshHandler>());
        meshes.back()->loadObj(rel);
        return *meshes.back();
    }
    std::vector<std::unique_ptr<MeshHandler>> meshes;
};

float maxAbs(const MeshHandler& m) {
    return std::max({std::fabs(m.minX), m.maxX, std::fabs(m.minY), m.maxY, std::fabs(m.minZ), m.maxZ});
}

struct Placed {
    const char* mesh;
    float scale;
    glm::vec3 position; // as the final arena places it
};

// Every physical prop of the final arena with its scale and position.
const Placed kProps[] = {
    {"meshes/cube/acube.obj", 10, {-30, 10, 49}},   {"meshes/cube/bcube.obj", 10, {0, 10, 51}},
    {"meshes/cube/ccube.obj", 10, {30, 10, 50}},    {"meshes/cube/dcube.obj", 10, {-30, 10, -49}},
    {"meshes/worldcup.obj", 10, {0, 30, 0}},        {"meshes/gameboy.obj", 2, {-75, 5, -75}},
    {"meshes/pipe.obj", 5, {70, 10, 70}},           {"meshes/subaru.obj", 200, {-50, 5, 20}},
    {"meshes/toiletpaper.obj", 170, {-50, 10, -20}}, {"meshes/glass.obj", 6, {50, 5, -40}},
};

TEST_F(SceneryFit, PropsAreCentredAndRestOnTheTableTop) {
    for (const Placed& p : kProps) {
        SCOPED_TRACE(p.mesh);
        const MeshHandler& m = load(p.mesh);
        ASSERT_GT(m.maxY, 0.0f) << "mesh did not load";
        const float tol = 1e-3f * maxAbs(m);
        // The box reaches scale x max to both sides: min must mirror max.
        EXPECT_NEAR(m.minX, -m.maxX, tol);
        EXPECT_NEAR(m.minY, -m.maxY, tol);
        EXPECT_NEAR(m.minZ, -m.maxZ, tol);
        // Its bottom lies on the table top (y = 0) within a hair.
        EXPECT_NEAR(p.position.y - p.scale * m.maxY, 0.0f, 0.01f * p.position.y);
    }
    // The ball's sphere has radius maxX x 100 and sits at y = 10.
    const MeshHandler& ball = load("meshes/pokeball.obj");
    EXPECT_NEAR(ball.maxX * 100.0f, 10.0f, 0.01f);
    EXPECT_NEAR(ball.minY, -ball.maxY, 1e-4f);
    EXPECT_NEAR(ball.maxY, ball.maxX, 1e-4f);
    // Letter blocks: half-size 1.
    for (const char* c : {"meshes/cube/acube.obj", "meshes/cube/dcube.obj"}) {
        const MeshHandler& cube = load(c);
        EXPECT_FLOAT_EQ(cube.maxX, 1.0f);
        EXPECT_FLOAT_EQ(cube.maxY, 1.0f);
        EXPECT_FLOAT_EQ(cube.maxZ, 1.0f);
    }
}

TEST_F(SceneryFit, TableIsTheFloorUnderEverythingPlacedAndEndsBeforeTheLostLine) {
    const MeshHandler& t = load("meshes/woodtable/woodtable.obj");
    // Placed at (0, -1, 0) with scale 1: its box top is the floor y = 0.
    EXPECT_FLOAT_EQ(t.maxY, 1.0f);
    const float halfX = t.maxX, halfZ = t.maxZ;
    EXPECT_NEAR(t.minX, -halfX, 1e-3f);
    EXPECT_NEAR(t.minZ, -halfZ, 1e-3f);
    // Cars count as lost past 150: the edge must come before that.
    EXPECT_LT(halfX, 150.0f);
    EXPECT_LT(halfZ, 150.0f);
    // Every footprint of both arena levels lies on the top.
    for (const Placed& p : kProps) {
        SCOPED_TRACE(p.mesh);
        const MeshHandler& m = load(p.mesh);
        const float reach = p.scale * std::max(m.maxX, m.maxZ); // any turn about y
        EXPECT_LE(std::fabs(p.position.x) + reach, halfX);
        EXPECT_LE(std::fabs(p.position.z) + reach, halfZ);
    }
    const glm::vec2 points[] = {{90, -90}, {-90, 90},   {0, 75},   {0, -75},  {25, 0},   {-25, 0},
                                {-50, -50}, {90, -10},  {0, 70},   {10, 70},  {25, 30},  {-40, -90},
                                {80, 50},  {-50, 68},   {35, -60}, {50, 0}};
    for (const glm::vec2& p : points) {
        // Start points, pick-up boxes, mines and blocks: keep 12 units spare.
        EXPECT_LE(std::fabs(p.x) + 12.0f, halfX) << p.x << ", " << p.y;
        EXPECT_LE(std::fabs(p.y) + 12.0f, halfZ) << p.x << ", " << p.y;
    }
    // The top is textured (wood grain).
    bool textured = false;
    for (auto& [name, g] : const_cast<MeshHandler&>(t).getFaceGroups()) textured |= g->hasTexture;
    EXPECT_TRUE(textured);
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
            // Front faces (counter-clockwise) must face the centre.
            if (glm::dot(n, (a + b + c) / 3.0f) < 0) ++facing;
        }
    }
    ASSERT_GT(triangles, 100u);
    EXPECT_EQ(facing, triangles) << "faces wound for viewing from outside";

    // Chase-camera eyes over the whole play volume, every heading, also
    // pulled back with Page Up.
    float worstNear = 1e30f, farthestEye = 0.0f;
    for (float x = -150; x <= 150; x += 15)
        for (float z = -150; z <= 150; z += 15)
            for (float y : {-10.0f, 0.0f, 2.0f, 30.0f})
                for (int deg = 0; deg < 360; deg += 15)
                    for (const glm::vec2& back : {glm::vec2(13, 10), glm::vec2(113, 60), glm::vec2(213, 110)}) {
                        const glm::vec3 car(x, y, z);
                        const float r = glm::radians(static_cast<float>(deg));
                        const glm::vec3 h(std::sin(r), 0, std::cos(r));
                        const glm::vec3 eye = car - h * back.x + glm::vec3(0, back.y, 0);
                        const glm::vec3 look = glm::normalize(car + glm::vec3(0, 5, 0) - eye);
                        // Signed distance of the dome's centre to the near plane.
                        worstNear = std::min(worstNear, glm::dot(look, at - (eye + look * zNear)));
                        farthestEye = std::max(farthestEye, glm::length(eye - at));
                    }
    EXPECT_GT(sky.radius, -worstNear + 10.0f) << "culled from some chase positions";
    // Inside the far plane from every eye, and enclosing every eye.
    EXPECT_LT(scale * farthest + farthestEye, zFar);
    EXPECT_GT(0.95f * scale * nearest, farthestEye);
    EXPECT_NEAR(sky.radius, 1.5f * maxAbs(sky), 1e-3f);
}

TEST_F(SceneryFit, GlassIsTransparentAndEveryPropKeepsItsMaterials) {
    MeshHandler& glass = load("meshes/glass.obj");
    float leastOpaque = 1.0f;
    for (auto& [name, g] : glass.getFaceGroups()) leastOpaque = std::min(leastOpaque, g->d);
    EXPECT_LT(leastOpaque, 1.0f);
    for (const char* rel : {"meshes/laptop/laptop.obj", "meshes/plastictable_notex.obj", "meshes/subaru.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        EXPECT_GT(m.getFaceGroupCount(), 1u);
        for (auto& [name, g] : m.getFaceGroups()) EXPECT_GT(g->Kd.r + g->Kd.g + g->Kd.b, 0.0f) << name;
    }
    // The untextured table has no texture; its box is the fixed (100, 1, 100).
    MeshHandler& plastic = load("meshes/plastictable_notex.obj");
    for (auto& [name, g] : plastic.getFaceGroups()) EXPECT_FALSE(g->hasTexture) << name;
    EXPECT_FLOAT_EQ(plastic.maxX, 100.0f);
    EXPECT_FLOAT_EQ(plastic.maxY, 1.0f);
}

} // namespace
