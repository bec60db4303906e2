// The two players' cars and the wheel; the items and particles are made in
// GenItems.cpp and GenParticles.cpp.
//
// Car mesh: +z forward, y up, 6 x 2 x 3 (length x height x width), centred on
// the origin. The game scales it to length 6, hangs the wheels at
// (+-0.4 w, 0.3 h, +0.21 l / -0.26 l) below the box centre (0.75 h above the
// body) with radius 0.5, so at rest a wheel centre sits about 0.88 below the
// mesh centre: the wheel arches are cut around those points.
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/TextRaster.h"
#include "tools/assetgen/VehicleKit.h"

namespace assetgen {
namespace vehicles {
namespace {

constexpr float kHalfLength = 3.0f, kHalfWidth = 1.5f, kHalfHeight = 1.0f;
constexpr float kFrontAxle = 0.21f * 6.0f, kRearAxle = -0.26f * 6.0f;
constexpr float kSill = -1.0f;         // body bottom between the wheels
constexpr float kArchRadius = 0.74f;   // arch circle, centred on the sill line
constexpr float kArchInner = 0.85f;    // inner wall of the wheel wells
constexpr float kStripe = 0.28f;       // half width of the racing stripe
constexpr float kEnd = kHalfLength - 0.005f; // end faces; lights sit just proud of them
constexpr float kRoof = kHalfHeight - 0.004f; // roof; the number sits just above it

// Texture atlas of a car, 256 x 256: the roof roundel top left, solid colour
// cells (64 px) elsewhere.
constexpr int kAtlas = 256;
struct CarCells {
    UvRect roundel, paint, stripe, glass, screen, trim, headlight, taillight, grille, under;
};
CarCells carCells() {
    CarCells c;
    c.roundel = atlasCell(kAtlas, kAtlas, 0, 0, 128, 128, 2);
    c.paint = atlasCell(kAtlas, kAtlas, 128, 0, 192, 64, 6);
    c.stripe = atlasCell(kAtlas, kAtlas, 192, 0, 256, 64, 6);
    c.glass = atlasCell(kAtlas, kAtlas, 128, 64, 192, 128, 4);
    c.trim = atlasCell(kAtlas, kAtlas, 192, 64, 256, 128, 6);
    c.headlight = atlasCell(kAtlas, kAtlas, 0, 128, 64, 192, 2);
    c.taillight = atlasCell(kAtlas, kAtlas, 64, 128, 128, 192, 2);
    c.grille = atlasCell(kAtlas, kAtlas, 128, 128, 192, 192, 2);
    c.under = atlasCell(kAtlas, kAtlas, 192, 128, 256, 192, 6);
    c.screen = atlasCell(kAtlas, kAtlas, 0, 192, 64, 256, 6);
    return c;
}

Image carAtlas(Rgba paint, Rgba stripe, const std::string& number) {
    Image img(kAtlas, kAtlas, rgb(40, 40, 44));
    // Paint with a faint sheen so large panels are not dead flat.
    for (int y = 0; y < 64; ++y)
        for (int x = 128; x < 192; ++x)
            img.set(x, y, mix(paint, rgb(255, 255, 255), 0.08f * hashNoise(x, y, 5u)));
    img.fillRect(192, 0, 256, 64, stripe);
    // Window glass: dark blue with a diagonal reflection.
    for (int y = 64; y < 128; ++y)
        for (int x = 128; x < 192; ++x) {
            const float t = (x - 128 + (127 - y)) / 126.0f;
            const float streak = std::max(0.0f, 1.0f - std::abs(t - 0.55f) * 9.0f);
            img.set(x, y, mix(mix(rgb(30, 45, 70), rgb(70, 95, 130), t), rgb(200, 215, 235), streak * 0.7f));
        }
    img.fillRect(192, 64, 256, 128, rgb(22, 22, 24));
    // Head light: warm white lens in a chrome rim.
    img.fillRect(0, 128, 64, 192, rgb(170, 170, 176));
    img.fillRect(4, 132, 60, 188, rgb(255, 250, 215));
    img.fillCircle(20, 160, 10, rgb(255, 255, 255));
    img.fillCircle(44, 160, 10, rgb(255, 255, 255));
    // Tail light: red lens, brighter core.
    img.fillRect(64, 128, 128, 192, rgb(60, 10, 10));
    img.fillRect(68, 132, 124, 188, rgb(200, 20, 20));
    img.fillRect(76, 148, 116, 172, rgb(255, 70, 60));
    // Grille: dark slats.
    img.fillRect(128, 128, 192, 192, rgb(18, 18, 20));
    for (int y = 134; y < 188; y += 9) img.fillRect(132, y, 188, y + 4, rgb(70, 70, 76));
    img.fillRect(192, 128, 256, 192, rgb(34, 34, 36));
    // Roof roundel: white disc with the player's number.
    img.fillRect(0, 0, 128, 128, paint);
    img.fillCircle(64, 64, 58, rgb(20, 20, 20));
    img.fillCircle(64, 64, 53, rgb(250, 250, 250));
    TextRaster text(true);
    text.drawCentred(img, number, 64, 66, 84, rgb(15, 15, 15));
    // Lower rows: windscreen glass (even: the windscreen is several faces,
    // a streak per face would zigzag), the rest spare in the trim colour.
    img.fillRect(0, 192, 256, 256, rgb(22, 22, 24));
    img.fillRect(0, 192, 64, 256, rgb(52, 72, 104));
    return img;
}

// Body profile along z: top (belt line, hood and deck), bottom and half width.
float bodyTop(float z) {
    // Nose low, hood rising to the windscreen, flat deck, short tail.
    const float pts[][2] = {{-3.0f, 0.02f}, {-2.8f, 0.14f}, {-2.0f, 0.16f}, {-1.0f, 0.12f},
                            {1.2f, 0.06f}, {2.2f, -0.12f}, {2.85f, -0.28f}, {3.0f, -0.34f}};
    for (size_t i = 0; i + 1 < std::size(pts); ++i)
        if (z <= pts[i + 1][0]) {
            const float t = (z - pts[i][0]) / (pts[i + 1][0] - pts[i][0]);
            return pts[i][1] + (pts[i + 1][1] - pts[i][1]) * t;
        }
    return pts[std::size(pts) - 1][1];
}
float bodyBottom(float z) {
    const float end = std::max(0.0f, std::abs(z) - 2.5f) / 0.5f; // bumpers lift a little
    return kSill + 0.14f * end;
}
float bodyHalfWidth(float z) {
    const float end = std::max(0.0f, std::abs(z) - 2.3f) / 0.7f;
    return kHalfWidth - (z > 0 ? 0.16f : 0.1f) * end * end;
}
// Height of the wheel-arch roof at z (the bottom where there is no arch).
float archTop(float z) {
    float top = bodyBottom(z);
    for (float axle : {kFrontAxle, kRearAxle}) {
        const float d = std::abs(z - axle);
        if (d < kArchRadius) top = std::max(top, kSill + std::sqrt(kArchRadius * kArchRadius - d * d));
    }
    return top;
}

void buildBody(MeshBuilder& mb, const CarCells& cells) {
    std::vector<float> zs = {-kEnd, -2.9f, -2.8f, -2.5f, -2.0f, -1.0f, 0.0f, 0.35f, 1.2f, 2.2f, 2.5f, 2.85f, kEnd};
    for (float axle : {kFrontAxle, kRearAxle})
        for (int i = 0; i <= 14; ++i) zs.push_back(axle - kArchRadius + 2 * kArchRadius * i / 14.0f);
    std::sort(zs.begin(), zs.end());
    zs.erase(std::unique(zs.begin(), zs.end(), [](float a, float b) { return std::abs(a - b) < 0.02f; }), zs.end());

    std::vector<std::vector<glm::vec3>> rings;
    for (size_t i = 0; i < zs.size(); ++i) {
        const float z = zs[i];
        float w = bodyHalfWidth(z), top = bodyTop(z), bottom = bodyBottom(z), arch = archTop(z);
        // The very ends are pulled in a little: a chamfered nose and tail.
        if (i == 0 || i + 1 == zs.size()) { w -= 0.08f; top -= 0.05f; bottom += 0.05f; arch = bottom; }
        const float bevel = 0.16f;
        rings.push_back({{-kArchInner, bottom, z}, {kArchInner, bottom, z}, {kArchInner, arch, z},
                         {w, arch, z}, {w, top - bevel, z}, {w - bevel, top, z},
                         {kStripe, top, z}, {-kStripe, top, z}, {-w + bevel, top, z},
                         {-w, top - bevel, z}, {-w, arch, z}, {-kArchInner, arch, z}});
    }
    loft(mb, rings, [&](int, int edge) {
        switch (edge) {
        case 0: case 1: case 2: case 10: case 11: return cells.under;
        case 6: return cells.stripe;
        default: return cells.paint;
        }
    }, cells.paint, cells.paint);

    // Cabin: windscreen, roof with stripe, rear window, side windows with a
    // painted B pillar.
    struct Station { float z, height; bool pillar; };
    const Station st[] = {{-2.05f, 0.0f, false}, {-1.25f, 1.0f, false}, {-0.45f, 1.0f, true},
                          {-0.32f, 1.0f, false}, {0.35f, 1.0f, false}, {1.15f, 0.0f, false}};
    std::vector<std::vector<glm::vec3>> cabin;
    for (const Station& s : st) {
        const float base = bodyTop(s.z) - 0.03f;
        const float top = s.height > 0 ? kRoof : base;
        const float wb = 1.34f, wt = 1.04f;
        cabin.push_back({{-wb, base, s.z}, {wb, base, s.z}, {wt, top, s.z}, {kStripe, top, s.z},
                         {-kStripe, top, s.z}, {-wt, top, s.z}});
    }
    loft(mb, cabin, [&](int ring, int edge) {
        const bool windscreen = ring == 0 || ring == 4;
        if (edge == 0) return cells.under;
        if (edge == 1 || edge == 5) return st[ring].pillar ? cells.paint : cells.glass;
        if (windscreen) return cells.screen;
        return edge == 3 ? cells.stripe : cells.paint;
    }, cells.screen, cells.screen);

    // Player number on the roof, a hair above it, upright for the chase
    // camera behind the car.
    const float ry = kHalfHeight;
    flatQuad(mb, {0.55f, ry, -1.0f}, {-0.55f, ry, -1.0f}, {-0.55f, ry, 0.1f}, {0.55f, ry, 0.1f}, cells.roundel);

    // Lights and grille sit just proud of the chamfered end faces.
    const float zf = kHalfLength, zr = -kHalfLength;
    for (float s : {-1.0f, 1.0f}) {
        const float x0 = s < 0 ? -1.12f : 0.72f, x1 = s < 0 ? -0.72f : 1.12f;
        flatQuad(mb, {x0, -0.64f, zf}, {x1, -0.64f, zf}, {x1, -0.47f, zf}, {x0, -0.47f, zf}, cells.headlight);
        const float r0 = s < 0 ? -1.2f : 0.78f, r1 = s < 0 ? -0.78f : 1.2f;
        flatQuad(mb, {r1, -0.32f, zr}, {r0, -0.32f, zr}, {r0, -0.1f, zr}, {r1, -0.1f, zr}, cells.taillight);
    }
    flatQuad(mb, {-0.55f, -0.76f, zf}, {0.55f, -0.76f, zf}, {0.55f, -0.5f, zf}, {-0.55f, -0.5f, zf}, cells.grille);
    flatQuad(mb, {0.9f, -0.8f, zr}, {-0.9f, -0.8f, zr}, {-0.9f, -0.6f, zr}, {0.9f, -0.6f, zr}, cells.trim);

    // Rear wing on two struts: the chase camera sees the car from behind.
    const float wy = 0.52f;
    boxUv(mb, {-1.36f, wy, -2.85f}, {1.36f, wy + 0.07f, -2.35f}, cells.trim);
    for (float x : {-0.9f, 0.9f}) boxUv(mb, {x - 0.05f, bodyTop(-2.6f) - 0.02f, -2.7f}, {x + 0.05f, wy, -2.5f}, cells.trim);
}

bool makeCar(const std::string& dir, const std::string& base, Rgba paint, Rgba stripe,
             const std::string& number) {
    const CarCells cells = carCells();
    MeshBuilder mb;
    mb.addMaterial(texturedMaterial(base + "_body", base + ".png", 0.5f, 60.0f));
    buildBody(mb, cells);
    centreOnOrigin(mb);
    reportBounds("meshes/car/" + base + ".obj", mb);
    bool ok = mb.write(dir, base + ".obj", base + ".mtl");
    ok &= savePng(carAtlas(paint, stripe, number), dir + "/" + base + ".png");
    return ok;
}

// Wheel: a lathed tyre along x, 1 unit tall, with a five-spoke rim.
constexpr int kWheelProfile = 10;
Image wheelTexture() {
    return bandTexture(256, 256, kWheelProfile - 1, [](int band, float u, float f) {
        const int last = kWheelProfile - 2;
        if (band == 0 || band == last) { // rim face: hub, five spokes, outer ring
            const float r = band == 0 ? f : 1.0f - f; // 0 at the hub
            const float spoke = std::cos(u * glm::two_pi<float>() * 5.0f);
            if (r < 0.22f) return rgb(205, 205, 212);
            if (r < 0.26f) return rgb(120, 120, 128);
            if (r > 0.86f) return rgb(190, 190, 198);
            return spoke > 0.35f ? rgb(215, 215, 222) : rgb(30, 30, 34);
        }
        if (band == 1 || band == last - 1) return rgb(170, 170, 178); // rim lip
        if (band == 4) { // tread blocks, so the wheel is seen to turn
            const bool groove = std::fmod(u * 48.0f, 1.0f) < 0.25f || std::abs(f - 0.5f) < 0.06f;
            return groove ? rgb(14, 14, 14) : rgb(44, 44, 46);
        }
        return rgb(36, 36, 38); // side walls
    });
}

bool makeWheel(const std::string& root) {
    const std::string dir = root + "/meshes/wheel";
    if (!ensureDir(dir)) return false;
    MeshBuilder mb;
    Material m;
    m.name = "wheel";
    m.Ka = glm::vec3(1.0f);
    m.Kd = glm::vec3(1.0f);
    m.Ks = glm::vec3(0.15f);
    m.Ns = 20.0f;
    m.mapKd = "wheel.png";
    mb.addMaterial(m);
    // (radius, y) from one hub across the tyre to the other hub.
    const std::vector<glm::vec2> profile = {
        {0.0f, -0.19f}, {0.33f, -0.19f}, {0.36f, -0.22f}, {0.44f, -0.22f}, {0.5f, -0.15f},
        {0.5f, 0.15f}, {0.44f, 0.22f}, {0.36f, 0.22f}, {0.33f, 0.19f}, {0.0f, 0.19f}};
    mb.lathe(profile, 32);
    // The lathe runs along y; the axle is x.
    mb.transformSince(0, glm::rotate(glm::mat4(1.0f), -glm::half_pi<float>(), glm::vec3(0, 0, 1)), 0);
    centreOnOrigin(mb);
    reportBounds("meshes/wheel/wheel.obj", mb);
    bool ok = mb.write(dir, "wheel.obj", "wheel.mtl");
    ok &= savePng(wheelTexture(), dir + "/wheel.png");
    return ok;
}

} // namespace
} // namespace vehicles

bool generateVehicles(const std::string& root) {
    using namespace vehicles;
    const std::string carDir = root + "/meshes/car";
    bool ok = ensureDir(carDir);
    ok = ok && makeCar(carDir, "car", rgb(206, 28, 30), rgb(250, 250, 250), "1");
    ok = ok && makeCar(carDir, "car_green", rgb(34, 168, 52), rgb(250, 250, 250), "2");
    ok &= makeWheel(root);
    ok &= generateItems(root);
    ok &= generateParticles(root);
    return ok;
}

} // namespace assetgen
