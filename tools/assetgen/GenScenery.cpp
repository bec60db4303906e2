// The arena furniture: tables and sky dome here, the props in GenProps*.cpp.
#include <glm/gtc/constants.hpp>

#include <algorithm>
#include <cmath>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/SceneryKit.h"
#include "tools/assetgen/SceneryParts.h"

namespace assetgen {

bool generateScenery(const std::string& root) {
    using namespace scenery;
    bool ok = true;
    ok &= makeWoodTable(root);
    ok &= makePlasticTable(root);
    ok &= makeSkyDome(root);
    ok &= makeLetterBlocks(root);
    ok &= makeBall(root);
    ok &= makeToiletPaper(root);
    ok &= makeGlass(root);
    ok &= makeConsole(root);
    ok &= makePipe(root);
    ok &= makeTrophy(root);
    ok &= makeParkedCar(root);
    ok &= makeLaptop(root);
    return ok;
}

namespace scenery {

namespace {

// The table top is 240 units square and 2 thick: placed at (0, -1, 0) its top
// is the arena floor at y = 0 and a car that drives past +-120 falls off
// (the game counts it as lost past 150 or below -10).
constexpr float kTableHalf = 120.0f;
constexpr float kLegLength = 60.0f;
constexpr float kTileUnits = 40.0f; // world units covered by one wood texture tile

// Four planks along x, with grain that tiles in both directions.
Image woodTexture() {
    constexpr int N = 512, plankPx = N / 4;
    Image img(N, N);
    const Rgba light = rgb(204, 156, 100), dark = rgb(138, 88, 46), seam = rgb(74, 46, 24);
    for (int y = 0; y < N; ++y) {
        const int plank = y / plankPx, ly = y % plankPx;
        const float tint = hashNoise(plank, 7, 31u) * 0.25f - 0.1f;
        const int joint = static_cast<int>(hashNoise(plank, 3, 41u) * N);
        for (int x = 0; x < N; ++x) {
            // Long, gently wavy growth rings with fine fibres along the plank.
            const float warp = tileFbm(x * 2.0f / N, y * 8.0f / N, 2, 8, 4, 11u);
            const float ring = 0.5f + 0.5f * std::sin(glm::two_pi<float>() * (ly * 7.0f / plankPx + 1.6f * warp));
            const float fibre = tileNoise(x * 16.0f / N, y * 0.5f, 16, N / 2, 23u);
            const float t = std::pow(ring, 6.0f) * 0.75f + fibre * 0.3f + tint;
            Rgba c = mix(light, dark, t);
            if (ly < 2 || std::abs(x - joint) < 1) c = seam;
            else if (ly < 4 || std::abs(x - joint) < 2) c = mix(c, seam, 0.5f);
            img.set(x, y, c);
        }
    }
    return img;
}

} // namespace

bool makeWoodTable(const std::string& root) {
    MeshBuilder mb;
    mb.addMaterial(textured("woodtop", "woodtable.png", 0.25f, 40.0f));
    const float h = kTableHalf, tiles = 2 * h / kTileUnits, edge = 2.0f / kTileUnits;
    const std::vector<glm::vec4> uv = {{0, 0, tiles, edge}, {0, 0, tiles, edge}, {0, 0, tiles, tiles},
                                       {0, 0, tiles, tiles}, {0, 0, tiles, edge}, {0, 0, tiles, edge}};
    mb.box({-h, -1, -h}, {h, 1, h}, &uv);
    // Legs are drawn only: the floor's collision box comes from the top's
    // bounds (maximum y = 1), and they stand inset so a car falling off an
    // edge clears them.
    mb.addMaterial(plain("woodleg", {0.42f, 0.26f, 0.13f}, 0.15f, 20.0f));
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sz = -1; sz <= 1; sz += 2) {
            const glm::vec3 c(sx * (h - 14), 0, sz * (h - 14));
            mb.box(c + glm::vec3(-5, -1 - kLegLength, -5), c + glm::vec3(5, -1, 5));
        }
    return writeTexture(woodTexture(), root, "meshes/woodtable", "woodtable.png") &&
           writeMesh(mb, root, "meshes/woodtable", "woodtable.obj", "woodtable.mtl");
}

bool makePlasticTable(const std::string& root) {
    // Matches the fixed (100, 1, 100) box that this table is given.
    MeshBuilder mb;
    // Lit from straight above a top shows ambient 0.7 + light 0.8 = 1.5 times
    // its colour: 0.6 stays just short of white.
    mb.addMaterial(plain("plastictop", {0.6f, 0.6f, 0.58f}, 0.5f, 60.0f));
    mb.box({-100, -1, -100}, {100, 1, 100});
    mb.addMaterial(plain("plasticleg", {0.55f, 0.56f, 0.6f}, 0.6f, 60.0f));
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sz = -1; sz <= 1; sz += 2)
            mb.cylinder({sx * 88.0f, -1 - kLegLength / 2, sz * 88.0f}, 'y', 3.0f, kLegLength, 16, true);
    return writeMesh(mb, root, "meshes", "plastictable_notex.obj", "plastictable_notex.mtl");
}

namespace {

// The dome is drawn lit, its inward normals facing the light near its centre,
// so every texel shows at ambient 0.7 + light 0.8 = 1.5 times its value. The
// texture is stored at 2/3 of the colours meant to be seen, or the haze and
// everything below the horizon would clip to white.
constexpr float kSkyLightGain = 1.5f;

// Equirectangular sky: u around, v from the lower pole (0) to the zenith (1).
Image skyTexture() {
    constexpr int W = 512, H = 256;
    Image img(W, H);
    const Rgba zenith = rgb(38, 92, 196), horizon = rgb(172, 208, 240), haze = rgb(214, 228, 242);
    const Rgba below = rgb(128, 168, 222);
    for (int y = 0; y < H; ++y) {
        const float v = 1.0f - (y + 0.5f) / H;               // 1 at the top row
        const float elev = (v - 0.5f) * glm::pi<float>();     // radians above the horizon
        for (int x = 0; x < W; ++x) {
            Rgba c;
            if (elev >= 0) {
                const float t = std::pow(std::sin(elev), 0.55f);
                c = t < 0.08f ? mix(haze, horizon, t / 0.08f) : mix(horizon, zenith, (t - 0.08f) / 0.92f);
                // Clouds lie on a flat layer overhead: sample the noise where
                // this direction meets it, which also hides the u seam.
                const float az = glm::two_pi<float>() * (x + 0.5f) / W;
                const float reach = std::cos(elev) / (std::sin(elev) + 0.04f);
                const float px = 1.1f * reach * std::cos(az) + 40.0f, pz = 1.1f * reach * std::sin(az) + 40.0f;
                float n = 0, amp = 0.5f, f = 1;
                for (int o = 0; o < 5; ++o, amp *= 0.5f, f *= 2)
                    n += amp * smoothNoise(px * f, pz * f, 101u + o);
                float cover = std::clamp((n / 0.97f - 0.48f) / 0.16f, 0.0f, 1.0f);
                cover *= std::clamp((elev - 0.04f) / 0.3f, 0.0f, 1.0f);
                const float shade = smoothNoise(px * 3.0f, pz * 3.0f, 211u);
                const Rgba cloud = mix(rgb(252, 252, 255), rgb(184, 192, 210), shade * (1.0f - cover * 0.5f));
                c = mix(c, cloud, cover);
            } else {
                // Below the horizon the sky goes on, hazy, without clouds.
                const float t = std::pow(std::sin(-elev), 0.6f);
                c = mix(haze, below, t);
            }
            const auto dim = [](uint8_t v) {
                return static_cast<uint8_t>(std::lround(v / kSkyLightGain));
            };
            img.set(x, y, rgb(dim(c.r), dim(c.g), dim(c.b)));
        }
    }
    return img;
}

} // namespace

bool makeSkyDome(const std::string& root) {
    // Placed at (0, -100, 0) with scale 50: radius 8000, so it encloses the
    // arena and every camera stays well inside the 10000 far plane. Its
    // culling radius (1.5 x 160 = 240) keeps it from being culled by a
    // chase camera anywhere near the table.
    MeshBuilder mb;
    Material m = textured("sky", "skydome.png", 0.0f, 1.0f);
    mb.addMaterial(m);
    // Faces and normals point inward: it is seen from inside.
    std::vector<glm::vec2> profile;
    for (int i = 0; i <= 24; ++i) {
        const float t = glm::pi<float>() * i / 24 - glm::half_pi<float>();
        const bool pole = i == 0 || i == 24;
        profile.push_back({pole ? 0.0f : 160.0f * std::cos(t), 160.0f * std::sin(t)});
    }
    smoothLathe(mb, profile, 48, {0, 0, 0}, 60.0f, 1.0f, 1.0f, true);
    return writeTexture(skyTexture(), root, "meshes", "skydome.png") &&
           writeMesh(mb, root, "meshes", "skydome.obj", "skydome.mtl");
}

} // namespace scenery
} // namespace assetgen
