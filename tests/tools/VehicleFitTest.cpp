// The cars, wheel, items, particles and HUD pictures of the committed pack fit
// the way the game sizes and places them: cars and items are centred so their
// boxes match what is drawn, the wheels turn inside the wheel arches, the mine
// and the pick-up box stand on the table, the rocket and the bullet form point
// along +z, particles are camera-facing quads and HUD pictures cover the unit
// square.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/FaceGroup.h"
#include "engine/MeshHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

using testsupport::sourcePath;

namespace {

struct Corner {
    glm::vec3 p;
    glm::vec2 t;
};

// Loads a mesh of the committed pack through the game's own reader.
class VehicleFit : public ::testing::Test {
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

std::vector<Corner> corners(MeshHandler& m) {
    std::vector<Corner> out;
    for (auto& [name, g] : m.getFaceGroups())
        for (size_t i = 0; i < g->vertices->size(); ++i)
            out.push_back({glm::vec3((*g->vertices)[i]), i < g->texCoords->size() ? (*g->texCoords)[i] : glm::vec2(-1)});
    return out;
}

void expectCentred(const MeshHandler& m) {
    const float tol = 1e-3f * std::max({m.maxX, m.maxY, m.maxZ});
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

// A pointed nose at +z and a wider tail (fins) at -z: the thing flies forward.
void expectNoseAtPlusZ(MeshHandler& m) {
    const float l = m.maxZ - m.minZ;
    EXPECT_LT(radiusAlongZ(m, m.maxZ - 0.03f * l, m.maxZ), 0.3f * m.maxX);
    EXPECT_GT(radiusAlongZ(m, m.minZ, m.minZ + 0.3f * l), radiusAlongZ(m, m.maxZ - 0.3f * l, m.maxZ));
}

TEST_F(VehicleFit, CarsAreSixByTwoByThreeAndTheWheelsClearTheBody) {
    MeshHandler& wheel = load("meshes/wheel/wheel.obj");
    const float wheelScale = 1.0f / (wheel.maxY - wheel.minY);
    const float wheelHalfWidth = (wheel.maxX - wheel.minX) * wheelScale / 2;
    for (const char* rel : {"meshes/car/car.obj", "meshes/car/car_green.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& car = load(rel);
        ASSERT_GT(car.maxZ, 0.0f) << "mesh did not load";
        expectCentred(car);
        // The game scales the car to length 6 and sizes box and wheels from it.
        const float s = 6.0f / (car.maxZ - car.minZ);
        const float l = 6.0f, h = (car.maxY - car.minY) * s, w = (car.maxX - car.minX) * s;
        EXPECT_NEAR(h, 2.0f, 0.3f);
        EXPECT_NEAR(w, 3.0f, 0.3f);
        // Body vertices in chassis coordinates (drawn 0.75 h above the body).
        std::vector<glm::vec3> body;
        for (const Corner& c : corners(car)) body.push_back(c.p * s + glm::vec3(0, 0.75f * h, 0));
        // Wheels hang at (+-0.4 w, 0.3 h, 0.21 l / -0.26 l), radius 0.5; at rest the
        // suspension sits near its connection point, a little above or below.
        for (float wx : {0.4f * w, -0.4f * w})
            for (float wz : {0.21f * l, -0.26f * l})
                for (float dy : {0.05f, 0.0f, -0.1f}) {
                    const glm::vec3 centre(wx, 0.3f * h + dy, wz);
                    int inside = 0;
                    for (const glm::vec3& p : body)
                        if (std::fabs(p.x - centre.x) < wheelHalfWidth &&
                            std::hypot(p.y - centre.y, p.z - centre.z) < 0.5f)
                            ++inside;
                    EXPECT_EQ(inside, 0) << "wheel at " << wx << ", " << centre.y << ", " << wz;
                }
        // The wheels stay under the body: their outer faces within its width.
        EXPECT_LE(0.4f * w + wheelHalfWidth, w / 2);
    }
}

TEST_F(VehicleFit, WheelIsACylinderAlongXDrawnOneUnitTall) {
    MeshHandler& wheel = load("meshes/wheel/wheel.obj");
    ASSERT_GT(wheel.maxY, 0.0f);
    expectCentred(wheel);
    EXPECT_NEAR(wheel.maxZ - wheel.minZ, wheel.maxY - wheel.minY, 1e-3f); // round seen along x
    EXPECT_LT(wheel.maxX - wheel.minX, 0.6f * (wheel.maxY - wheel.minY));  // narrower than tall
}

TEST_F(VehicleFit, MineAndPickupBoxStandOnTheTableAsDrawn) {
    for (const char* rel : {"meshes/mine/mine.obj", "meshes/pickup/pickup.obj"}) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        ASSERT_LT(m.minY, 0.0f) << "mesh did not load";
        // Scaled to 2 high with a box of half height 2: resting, the body's
        // origin is 2 above the table, so the drawn mesh must reach 2 below it.
        const float s = 2.0f / (m.maxY - m.minY);
        EXPECT_NEAR(2.0f + s * m.minY, 0.0f, 0.01f);
        EXPECT_NEAR(s * m.maxY, 0.0f, 0.01f);
        EXPECT_NEAR(m.minX, -m.maxX, 1e-3f);
        EXPECT_NEAR(m.minZ, -m.maxZ, 1e-3f);
    }
}

TEST_F(VehicleFit, RocketAndBulletFormPointAlongPlusZAtTheirSizes) {
    MeshHandler& rocket = load("meshes/rocket/rocket.obj");
    ASSERT_GT(rocket.maxZ, 0.0f);
    expectCentred(rocket);
    const float rl = rocket.maxZ - rocket.minZ;
    EXPECT_LT(rocket.maxX - rocket.minX, 0.3f * rl);
    // The fuse sphere: radius twice the unscaled x extent.
    const float fuse = 2.0f * (rocket.maxX - rocket.minX);
    EXPECT_GE(fuse, 1.0f);
    EXPECT_LE(fuse, 2.0f);
    expectNoseAtPlusZ(rocket);

    MeshHandler& bullet = load("meshes/bulletbill.obj");
    ASSERT_GT(bullet.maxZ, 0.0f);
    expectCentred(bullet);
    // At the car's power-up scale 8 it is about a car long (6).
    EXPECT_NEAR(8.0f * (bullet.maxZ - bullet.minZ), 6.0f, 1.0f);
    expectNoseAtPlusZ(bullet);
}

// Two triangles at z = 0, counter-clockwise seen from +z.
void expectQuadFacingPlusZ(MeshHandler& m) {
    const std::vector<Corner> c = corners(m);
    ASSERT_EQ(c.size(), 6u);
    for (size_t i = 0; i < 6; i += 3) {
        for (size_t k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(c[i + k].p.z, 0.0f);
        const glm::vec3 n = glm::cross(c[i + 1].p - c[i].p, c[i + 2].p - c[i].p);
        EXPECT_GT(n.z, 0.0f);
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
        // The billboard keeps the projection's aspect: a split-screen half is
        // 1024 x 384, so the quad must be that much wider than tall.
        EXPECT_NEAR((m.maxX - m.minX) / (m.maxY - m.minY), 1024.0f / 384.0f, 0.05f);
        EXPECT_LT(m.maxY - m.minY, 0.5f);
        EXPECT_EQ(textureFormat(m), GL_RGBA); // soft edges need alpha
    }
}

// Share of pixels with alpha 0 and with alpha above 200.
void alphaShares(const std::string& path, float& clear, float& solid) {
    FreeImage_Initialise();
    FIBITMAP* img = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    ASSERT_NE(img, nullptr) << path;
    ASSERT_EQ(FreeImage_GetBPP(img), 32u) << path;
    const unsigned w = FreeImage_GetWidth(img), h = FreeImage_GetHeight(img);
    size_t zero = 0, high = 0;
    for (unsigned y = 0; y < h; ++y) {
        const BYTE* line = FreeImage_GetScanLine(img, y);
        for (unsigned x = 0; x < w; ++x) {
            const BYTE a = line[x * 4 + FI_RGBA_ALPHA];
            zero += a == 0;
            high += a > 200;
        }
    }
    FreeImage_Unload(img);
    clear = static_cast<float>(zero) / (w * h);
    solid = static_cast<float>(high) / (w * h);
}

TEST_F(VehicleFit, HudPicturesCoverTheUnitSquareAndWinScreensLetTheGameShowThrough) {
    const char* const hud[] = {"meshes/helpscreen.obj", "meshes/loadingscreen.obj", "meshes/p1leet.obj",
                               "meshes/p2leet.obj", "meshes/icons/icon_car.obj"};
    for (const char* rel : hud) {
        SCOPED_TRACE(rel);
        MeshHandler& m = load(rel);
        expectQuadFacingPlusZ(m);
        for (const Corner& c : corners(m)) {
            EXPECT_TRUE(c.p.x == 0.0f || c.p.x == 1.0f);
            EXPECT_TRUE(c.p.y == 0.0f || c.p.y == 1.0f);
            EXPECT_EQ(c.t, glm::vec2(c.p.x, c.p.y)); // picture upright, whole
        }
    }
    EXPECT_EQ(textureFormat(load("meshes/loadingscreen.obj")), GL_RGB);
    for (const char* png : {"meshes/p1leet.png", "meshes/p2leet.png"}) {
        SCOPED_TRACE(png);
        float clear = 0, solid = 0;
        alphaShares(sourcePath(png), clear, solid);
        EXPECT_GT(clear, 0.4f); // most of the game stays visible
        EXPECT_GT(solid, 0.03f); // the message itself is opaque
    }
    float clear = 0, solid = 0;
    alphaShares(sourcePath("meshes/icons/icon_car.png"), clear, solid);
    EXPECT_GT(clear, 0.3f); // a silhouette, not a filled square
    EXPECT_GT(solid, 0.2f);
}

} // namespace
