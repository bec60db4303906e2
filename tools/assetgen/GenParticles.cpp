// Flame and smoke particles: one small textured quad each, facing +z.
//
// A particle's billboard matrix is the transpose of the camera's projection
// times view, so a quad of local size (w, h) at scale s and distance d shows
// about (f/a)^2 s w / d by f^2 s h / d of the view (f = 1 / tan 22.5 deg,
// a = aspect, 1024 / 384 in a split-screen half). A quad a times wider than
// tall therefore looks round, and local height 0.414 S / s looks like a ball
// of size S: the flame (scale 30 in an explosion) about 12 units, trail smoke
// (scale 3) about 2 units and explosion smoke (scale 20) about 15 units.
#include <glm/gtc/constants.hpp>

#include <algorithm>
#include <cmath>

#include "tools/assetgen/VehicleKit.h"

namespace assetgen {
namespace vehicles {
namespace {

constexpr float kAspect = 1024.0f / 384.0f;

// A soft round puff with a ragged, noisy edge. shade(t, n) gives the colour
// at relative radius t (0 centre, 1 edge) with noise n in [0, 1).
Image puff(int size, uint32_t seed, float opacity, const std::function<Rgba(float t, float n)>& shade) {
    Image img(size, size, rgb(0, 0, 0, 0));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
            const float n = 0.6f * smoothNoise(x / 9.0f, y / 9.0f, seed) + 0.4f * smoothNoise(x / 4.0f, y / 4.0f, seed + 1);
            const float r = std::sqrt(dx * dx + dy * dy) / (0.78f + 0.22f * n);
            // Clear pixels keep the edge colour so filtering adds no dark fringe.
            const float edge = std::clamp((1.0f - r) / 0.45f, 0.0f, 1.0f);
            Rgba c = shade(std::min(r, 1.0f), n);
            c.a = static_cast<uint8_t>(std::lround(255 * opacity * edge * edge * (3 - 2 * edge)));
            img.set(x, y, c);
        }
    return img;
}

bool makeParticle(const std::string& dir, const std::string& base, float height,
                  const Image& tex, glm::vec3 emission) {
    MeshBuilder mb;
    Material m = texturedMaterial(base, base + ".png");
    m.Ke = emission;
    mb.addMaterial(m);
    const float hw = height * kAspect / 2, hh = height / 2;
    mb.quad({-hw, -hh, 0}, {hw, -hh, 0}, {hw, hh, 0}, {-hw, hh, 0});
    reportBounds("meshes/particles/" + base + ".obj", mb);
    bool ok = mb.write(dir, base + ".obj", base + ".mtl");
    return savePng(tex, dir + "/" + base + ".png", true) && ok;
}

} // namespace
} // namespace vehicles

bool generateParticles(const std::string& root) {
    using namespace vehicles;
    const std::string dir = root + "/meshes/particles";
    if (!ensureDir(dir)) return false;
    const Image flame = puff(128, 71u, 1.0f, [](float t, float n) {
        const float k = std::clamp(t * 1.1f + (n - 0.5f) * 0.35f, 0.0f, 1.0f);
        if (k < 0.3f) return mix(rgb(255, 255, 225), rgb(255, 222, 90), k / 0.3f);
        if (k < 0.65f) return mix(rgb(255, 222, 90), rgb(255, 128, 24), (k - 0.3f) / 0.35f);
        return mix(rgb(255, 128, 24), rgb(190, 36, 8), (k - 0.65f) / 0.35f);
    });
    const Image smoke = puff(128, 83u, 0.8f, [](float t, float n) {
        return mix(rgb(168, 166, 162), rgb(92, 90, 88), std::clamp(0.3f * t + 0.8f * (n - 0.2f), 0.0f, 1.0f));
    });
    bool ok = makeParticle(dir, "flameParticle", 0.166f, flame, {0.45f, 0.3f, 0.1f});
    ok &= makeParticle(dir, "smokeParticle", 0.3f, smoke, {0.0f, 0.0f, 0.0f});
    return ok;
}

} // namespace assetgen
