// The items: the bullet form of a powered-up car (also the power-up item and
// a decoration), the rocket, the mine and the pick-up box.
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

#include "tools/assetgen/TextRaster.h"
#include "tools/assetgen/VehicleKit.h"

namespace assetgen {
namespace vehicles {
namespace {

Material plainMaterial(const std::string& name, glm::vec3 colour, glm::vec3 emission = glm::vec3(0.0f)) {
    Material m;
    m.name = name;
    m.Ka = colour;
    m.Kd = colour;
    m.Ks = glm::vec3(0.4f);
    m.Ns = 40.0f;
    m.Ke = emission;
    return m;
}

// Lathes run along y; these turn y into +z.
glm::mat4 yToZ() { return glm::rotate(glm::mat4(1.0f), glm::half_pi<float>(), glm::vec3(1, 0, 0)); }

// Four fins around the z axis, in the x and y planes, given as a polygon in
// (z, radius), counter-clockwise.
void fins(MeshBuilder& mb, const std::vector<glm::vec2>& shape, float thickness, const UvRect& uv) {
    for (int i = 0; i < 4; ++i) {
        const float a = glm::half_pi<float>() * i;
        const glm::vec3 radial(std::cos(a), std::sin(a), 0.0f);
        prism(mb, shape, glm::vec3(0), glm::vec3(0, 0, 1), radial, thickness, uv);
    }
}

// ---- Bullet form: raw length 0.75 (6 units, a car's length, at scale 8) ----
bool makeBullet(const std::string& root) {
    const std::vector<glm::vec2> profile = {
        {0.0f, -0.34f}, {0.085f, -0.34f}, {0.10f, -0.375f}, {0.125f, -0.35f}, {0.145f, -0.31f},
        {0.15f, -0.27f}, {0.15f, -0.02f}, {0.15f, 0.05f}, {0.14f, 0.13f}, {0.12f, 0.21f},
        {0.09f, 0.28f}, {0.055f, 0.33f}, {0.02f, 0.365f}, {0.0f, 0.375f}};
    const int bands = static_cast<int>(profile.size()) - 1;
    const Rgba body = rgb(46, 48, 58), red = rgb(214, 30, 26);
    Image tex = bandTexture(64, 256, bands, [&](int band, float u, float f) {
        if (band == 0) return mix(rgb(255, 220, 120), rgb(255, 120, 20), f); // glowing nozzle
        if (band <= 4) return rgb(30, 30, 34);
        if (band == 5) {
            // Body: white pin stripe near the front, twin racing lines along it.
            if (f > 0.86f && f < 0.92f) return rgb(240, 240, 240);
            const float a = std::fmod(u * 4.0f, 1.0f);
            return (a > 0.46f && a < 0.54f) ? mix(body, red, 0.8f) : body;
        }
        if (band == 6) return red;
        // Polished steel nose, brighter towards the tip.
        return mix(rgb(120, 124, 132), rgb(225, 228, 235), (band - 7 + f) / (bands - 7));
    });
    MeshBuilder mb;
    mb.addMaterial(texturedMaterial("bullet", "bulletbill.png", 0.7f, 80.0f));
    mb.lathe(profile, 28);
    mb.transformSince(0, yToZ(), 0);
    fins(mb, {{-0.32f, 0.13f}, {-0.17f, 0.13f}, {-0.28f, 0.2f}, {-0.36f, 0.2f}}, 0.016f, bandCell(bands, 6));
    centreOnOrigin(mb);
    reportBounds("meshes/bulletbill.obj", mb);
    bool ok = mb.write(root + "/meshes", "bulletbill.obj", "bulletbill.mtl");
    return savePng(tex, root + "/meshes/bulletbill.png") && ok;
}

// ---- Rocket: raw length 4.5 (scaled to 3), fins +-0.45: fuse radius 1.8 ----
bool makeRocket(const std::string& root) {
    const std::string dir = root + "/meshes/rocket";
    if (!ensureDir(dir)) return false;
    const std::vector<glm::vec2> profile = {
        {0.0f, -2.1f}, {0.17f, -2.1f}, {0.22f, -2.25f}, {0.27f, -2.1f}, {0.3f, -1.95f},
        {0.3f, -1.3f}, {0.3f, 0.8f}, {0.3f, 1.05f}, {0.27f, 1.4f}, {0.21f, 1.75f},
        {0.13f, 2.02f}, {0.05f, 2.2f}, {0.0f, 2.25f}};
    const int bands = static_cast<int>(profile.size()) - 1;
    const Rgba red = rgb(220, 34, 28), white = rgb(238, 238, 232), black = rgb(26, 26, 28);
    Image tex = bandTexture(64, 256, bands, [&](int band, float u, float f) {
        if (band == 0) return mix(rgb(255, 230, 140), rgb(255, 110, 20), f);
        if (band <= 3) return rgb(60, 60, 66);
        if (band == 4) { // checkered tail section
            const int cu = static_cast<int>(u * 8.0f), cf = static_cast<int>(f * 2.0f);
            return ((cu + cf) % 2) ? black : white;
        }
        if (band == 5) {
            if (f > 0.86f && f < 0.92f) return red; // ring behind the warhead
            return white;
        }
        if (band == 6) return black;
        return red; // warhead
    });
    MeshBuilder mb;
    mb.addMaterial(texturedMaterial("rocket", "rocket.png", 0.5f, 50.0f));
    mb.lathe(profile, 24);
    mb.transformSince(0, yToZ(), 0);
    fins(mb, {{-1.9f, 0.28f}, {-1.0f, 0.28f}, {-1.7f, 0.45f}, {-2.1f, 0.45f}}, 0.05f, bandCell(bands, 8));
    centreOnOrigin(mb);
    reportBounds("meshes/rocket/rocket.obj", mb);
    bool ok = mb.write(dir, "rocket.obj", "rocket.mtl");
    return savePng(tex, dir + "/rocket.png") && ok;
}

// ---- Mine: a horned sea mine on a foot, top at y = 0, 1 unit high ----
// The game scales it to 2 high and rests its 4-high box on the table, so the
// body's origin sits 2 above the table: the mesh hangs 1 unit (2 scaled)
// below its origin and its foot touches the table.
bool makeMine(const std::string& root) {
    const std::string dir = root + "/meshes/mine";
    if (!ensureDir(dir)) return false;
    constexpr int rings = 12;
    const Rgba shell = rgb(52, 58, 50);
    Image tex = bandTexture(128, 128, rings, [&](int band, float u, float f) {
        if (band == 5 || band == 6) { // hazard stripes round the middle
            const float s = std::fmod(u * 16.0f + (band - 5 + f) * 0.6f, 1.0f);
            return s < 0.5f ? rgb(240, 196, 20) : rgb(24, 24, 24);
        }
        const float rivet = std::fmod(u * 24.0f, 1.0f);
        if ((band == 3 || band == 8) && std::abs(f - 0.5f) < 0.2f && std::abs(rivet - 0.5f) < 0.15f)
            return rgb(140, 146, 136);
        return mix(shell, rgb(0, 0, 0), 0.25f * hashNoise(static_cast<int>(u * 128), band * 16 + static_cast<int>(f * 16), 9u));
    });
    MeshBuilder mb;
    mb.addMaterial(texturedMaterial("mine_shell", "mine.png", 0.3f, 30.0f));
    constexpr float R = 0.34f;
    mb.sphere({0, 0, 0}, R, rings, 24);
    mb.addMaterial(plainMaterial("mine_metal", {0.42f, 0.43f, 0.45f}));
    // Foot: stem and disc.
    mb.cylinder({0, -0.42f, 0}, 'y', 0.08f, 0.2f, 12);
    mb.cylinder({0, -0.53f, 0}, 'y', 0.27f, 0.05f, 24);
    // Horns: metal stalks with glowing red tips.
    std::vector<glm::vec3> dirs = {{0, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        const float a = glm::half_pi<float>() * i, b = a + glm::quarter_pi<float>();
        dirs.push_back({std::cos(a) * std::cos(0.52f), std::sin(0.52f), std::sin(a) * std::cos(0.52f)});
        dirs.push_back({std::cos(b) * std::cos(0.44f), -std::sin(0.44f), std::sin(b) * std::cos(0.44f)});
    }
    auto alongDir = [](glm::vec3 d, float at) {
        // Rotation taking +y onto d, then a move out along d.
        const glm::vec3 y(0, 1, 0);
        glm::mat4 m = glm::translate(glm::mat4(1.0f), d * at);
        const glm::vec3 axis = glm::cross(y, d);
        if (glm::length(axis) > 1e-6f)
            m = glm::rotate(m, std::acos(std::clamp(glm::dot(y, d), -1.0f, 1.0f)), glm::normalize(axis));
        return m;
    };
    mb.addMaterial(plainMaterial("mine_light", {1.0f, 0.15f, 0.08f}, {0.8f, 0.08f, 0.03f}));
    for (const glm::vec3& d : dirs) {
        mb.useMaterial("mine_metal");
        int p = mb.mark(), n = mb.normalMark();
        mb.lathe({{0.0f, 0.0f}, {0.06f, 0.0f}, {0.055f, 0.1f}, {0.045f, 0.14f}}, 10);
        mb.transformSince(p, alongDir(d, R - 0.04f), n);
        mb.useMaterial("mine_light");
        p = mb.mark();
        n = mb.normalMark();
        mb.lathe({{0.045f, 0.14f}, {0.035f, 0.19f}, {0.0f, 0.2f}}, 10);
        mb.transformSince(p, alongDir(d, R - 0.04f), n);
    }
    // Top of the top horn at y = 0, centred across.
    const glm::vec3 lo = mb.boundsMin(), hi = mb.boundsMax();
    mb.transformSince(0, glm::translate(glm::mat4(1.0f), {-(lo.x + hi.x) / 2, -hi.y, -(lo.z + hi.z) / 2}), mb.normalMark());
    reportBounds("meshes/mine/mine.obj", mb);
    bool ok = mb.write(dir, "mine.obj", "mine.mtl");
    return savePng(tex, dir + "/mine.png") && ok;
}

// ---- Pick-up box: a 1-unit cube hanging below its origin (see the mine) ----
Image questionFace() {
    constexpr int N = 256;
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float t = y / float(N - 1);
            img.set(x, y, mix(rgb(40, 150, 255), rgb(120, 40, 210), t));
        }
    // Bright frame with a darker inner line, like a glowing crate edge.
    img.frameRect(0, 0, N, N, 14, rgb(235, 245, 255));
    img.frameRect(14, 14, N - 14, N - 14, 5, rgb(20, 40, 110));
    for (int c = 0; c < 4; ++c) // corner studs
        img.fillCircle(c % 2 ? N - 30.0f : 30.0f, c / 2 ? N - 30.0f : 30.0f, 7, rgb(235, 245, 255));
    TextRaster text(true);
    text.drawCentred(img, "?", N / 2 + 5, N / 2 + 6, 190, rgb(10, 10, 40, 200)); // shadow
    text.drawCentred(img, "?", N / 2, N / 2, 190, rgb(255, 255, 255));
    return img;
}

bool makePickup(const std::string& root) {
    const std::string dir = root + "/meshes/pickup";
    if (!ensureDir(dir)) return false;
    MeshBuilder mb;
    Material m = texturedMaterial("pickup_box", "pickup.png", 0.3f, 30.0f);
    m.Ke = glm::vec3(0.12f); // a faint glow so the box reads in shadow too
    mb.addMaterial(m);
    mb.box({-0.5f, -1.0f, -0.5f}, {0.5f, 0.0f, 0.5f});
    reportBounds("meshes/pickup/pickup.obj", mb);
    bool ok = mb.write(dir, "pickup.obj", "pickup.mtl");
    return savePng(questionFace(), dir + "/pickup.png") && ok;
}

} // namespace
} // namespace vehicles

bool generateItems(const std::string& root) {
    using namespace vehicles;
    bool ok = ensureDir(root + "/meshes");
    ok = ok && makeBullet(root);
    ok &= makeRocket(root);
    ok &= makeMine(root);
    ok &= makePickup(root);
    return ok;
}

} // namespace assetgen
