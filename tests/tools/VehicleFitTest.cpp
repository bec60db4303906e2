// The cars, wheel, items, particles and HUD pictures of the committed pack fit
// the way the game sizes and places them.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/FaceGroup.h"
#include "tests/support/GLContext.h"
#include "tests/support/ObjFileCheck.h"
#include "tests/support/TempDir.h"

using testsupport::sourcePath;

namespace {

struct Corner {
    glm::vec3 p;
    glm::vec2 t;
};

class VehicleFit : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
    MeshHandler& load(const std::string& rel) { return pack.load(rel); }
    testsupport::PackMeshes pack;
};

std::vector<Corner> corners(MeshHandler& m) {
    std::vector<Corner> out;
    for (auto& [name, g] : m.getFaceGroups())
        for (size_t i = 0; i < g->vertices->size(); ++i)
            out.push_back({glm::vec3((*g->vertices)[i]), i < g->texCoords->size() ? (*g->texCoords)[i] : glm::vec2(-1)});
    return out;
}

void expectCentred(const MeshHandler& m) {
    const float tol = 1e-3f * std::max({m.maxX, m.maxY, m.maxZ});
    ASSERT_GT(tol, 0.0f) << "mesh did not load";
    EXPECT_NEAR(m.minX, -m.maxX, tol);
    EXPECT_NEAR(m.minY, -m.maxY, tol);
    EXPECT_NEAR(m.minZ, -m.maxZ, tol);
}

// Largest distance from the z axis among the vertices whose z lies in [z0, z1].
float radiusAlongZ(MeshHandler& m, float z0, float z1) {
    float r = 0;
    for (const Corner& c : corners(m))
        if (c.p.z >= z0 && c.p.z <= z1) r = std::max(r, std::hypot(c.p.x, c.p.y));
    return r;
}

// A pointed nose at +z and a wider tail (fins) at -z.
void expectNoseAtPlusZ(MeshHandler& m) {
    const float l = m.maxZ - m.minZ;
    EXPECT_LT(radiusAlongZ(m, m.maxZ - 0.03f * l, m.maxZ), 0.3f * m.maxX);
    EXPECT_GT(radiusAlongZ(m, m.minZ, m.minZ + 0.3f * l), radiusAlongZ(m, m.maxZ - 0.3f * l, m.maxZ));
}

TEST_F(VehicleFit, CarsAreSixByTwoByThreeAndTheWheelsClearTheBody) {
    MeshHandler& wheel = load("meshes/wheel/wheel.obj");
    expectCentred(wheel);
    EXPECT_NEAR(wheel.maxZ - wheel.minZ, wheel.maxY - wheel.minY, 1e-3f); // round seen along x
    EXPECT_LT(wheel.maxX - wheel.minX, 0.6f * (wheel.maxY - wheel.minY));  // narrower than tall
    const float wheelHalfWidth = (wheel.maxX - wheel.minX) / (wheel.maxY - wheel.minY) / 2;
    for (const char* rel : {"meshes/car/car.obj", "meshes/car/car_green.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& car = load(rel);
        expectCentred(car);
        // Scaled to length 6; box and wheels are sized from it.
        const float s = 6.0f / (car.maxZ - car.minZ);
        const float l = 6.0f, h = (car.maxY - car.minY) * s, w = (car.maxX - car.minX) * s;
        EXPECT_NEAR(h, 2.0f, 0.3f);
        EXPECT_NEAR(w, 3.0f, 0.3f);
        EXPECT_LE(0.4f * w + wheelHalfWidth, w / 2); // wheels within the body's width
        const std::vector<Corner> body = corners(car);
        // Wheels (radius 0.5) at (+-0.4 w, 0.3 h + suspension play, 0.21 l / -0.26 l);
        // the body is drawn 0.75 h above the chassis.
        for (float wx : {0.4f * w, -0.4f * w})
            for (float wz : {0.21f * l, -0.26f * l})
                for (float dy : {0.05f, 0.0f, -0.1f}) {
                    const glm::vec3 centre(wx, 0.3f * h + dy - 0.75f * h, wz);
                    int inside = 0;
                    for (const Corner& c : body)
                        inside += std::fabs(c.p.x * s - centre.x) < wheelHalfWidth &&
                                  std::hypot(c.p.y * s - centre.y, c.p.z * s - centre.z) < 0.5f;
                    EXPECT_EQ(inside, 0) << "wheel at " << wx << ", " << dy << ", " << wz;
                }
    }
}

TEST_F(VehicleFit, MineAndPickupBoxStandOnTheTableAsDrawn) {
    for (const char* rel : {"meshes/mine/mine.obj", "meshes/pickup/pickup.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        ASSERT_LT(m.minY, 0.0f) << "mesh did not load";
        // Scaled to 2 high, box half height 2: the body's origin rests 2 above
        // the table, so the mesh spans 2 below it up to the origin.
        const float s = 2.0f / (m.maxY - m.minY);
        EXPECT_NEAR(2.0f + s * m.minY, 0.0f, 0.01f);
        EXPECT_NEAR(s * m.maxY, 0.0f, 0.01f);
        EXPECT_NEAR(m.minX, -m.maxX, 1e-3f);
        EXPECT_NEAR(m.minZ, -m.maxZ, 1e-3f);
    }
}

TEST_F(VehicleFit, RocketAndBulletFormPointAlongPlusZAtTheirSizes) {
    MeshHandler& rocket = load("meshes/rocket/rocket.obj");
    expectCentred(rocket);
    expectNoseAtPlusZ(rocket);
    EXPECT_LT(rocket.maxX - rocket.minX, 0.3f * (rocket.maxZ - rocket.minZ));
    const float fuse = 2.0f * (rocket.maxX - rocket.minX); // fuse sphere radius
    EXPECT_GE(fuse, 1.0f);
    EXPECT_LE(fuse, 2.0f);
    MeshHandler& bullet = load("meshes/bulletbill.obj");
    expectCentred(bullet);
    expectNoseAtPlusZ(bullet);
    EXPECT_NEAR(8.0f * (bullet.maxZ - bullet.minZ), 6.0f, 1.0f); // about a car long at scale 8
}

// Two triangles at z = 0, counter-clockwise seen from +z.
void expectQuadFacingPlusZ(MeshHandler& m) {
    const std::vector<Corner> c = corners(m);
    ASSERT_EQ(c.size(), 6u);
    for (size_t i = 0; i < 6; i += 3) {
        for (size_t k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(c[i + k].p.z, 0.0f);
        EXPECT_GT(glm::cross(c[i + 1].p - c[i].p, c[i + 2].p - c[i].p).z, 0.0f);
    }
}

GLint textureFormat(MeshHandler& m) {
    for (auto& [name, g] : m.getFaceGroups())
        if (g->hasTexture) return g->internalFormat;
    return 0;
}

TEST_F(VehicleFit, ParticlesAreSmallQuadsThatLookRoundThroughTheBillboard) {
    for (const char* rel : {"meshes/particles/flameParticle.obj", "meshes/particles/smokeParticle.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        expectQuadFacingPlusZ(m);
        expectCentred(m);
        // The billboard keeps the projection's aspect: a split-screen half is 1024 x 384.
        EXPECT_NEAR((m.maxX - m.minX) / (m.maxY - m.minY), 1024.0f / 384.0f, 0.05f);
        EXPECT_LT(m.maxY - m.minY, 0.5f);
        EXPECT_EQ(textureFormat(m), GL_RGBA); // soft edges need alpha
    }
}

// Shares of pixels with alpha 0 (clear) and alpha above 200 (solid).
void expectAlphaShares(const char* rel, float minClear, float minSolid) {
    SCOPED_TRACE(rel);
    const std::string path = sourcePath(rel);
    FreeImage_Initialise();
    FIBITMAP* img = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    ASSERT_NE(img, nullptr);
    ASSERT_EQ(FreeImage_GetBPP(img), 32u);
    const unsigned w = FreeImage_GetWidth(img), h = FreeImage_GetHeight(img);
    size_t zero = 0, high = 0;
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const BYTE a = FreeImage_GetScanLine(img, y)[x * 4 + FI_RGBA_ALPHA];
            zero += a == 0;
            high += a > 200;
        }
    FreeImage_Unload(img);
    EXPECT_GT(static_cast<float>(zero) / (w * h), minClear);
    EXPECT_GT(static_cast<float>(high) / (w * h), minSolid);
}

TEST_F(VehicleFit, HudPicturesCoverTheUnitSquareAndWinScreensLetTheGameShowThrough) {
    for (const char* rel : {"meshes/helpscreen.obj", "meshes/loadingscreen.obj", "meshes/p1leet.obj",
                            "meshes/p2leet.obj", "meshes/icons/icon_car.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        expectQuadFacingPlusZ(m);
        for (const Corner& c : corners(m)) {
            EXPECT_TRUE((c.p.x == 0.0f || c.p.x == 1.0f) && (c.p.y == 0.0f || c.p.y == 1.0f));
            EXPECT_EQ(c.t, glm::vec2(c.p.x, c.p.y)); // picture upright, whole
        }
    }
    EXPECT_EQ(textureFormat(load("meshes/loadingscreen.obj")), GL_RGB);
    // Win screens: mostly see-through, the message opaque; the icon a silhouette.
    expectAlphaShares("meshes/p1leet.png", 0.4f, 0.03f);
    expectAlphaShares("meshes/p2leet.png", 0.4f, 0.03f);
    expectAlphaShares("meshes/icons/icon_car.png", 0.3f, 0.2f);
}

} // namespace
