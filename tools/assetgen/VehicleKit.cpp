#include "tools/assetgen/VehicleKit.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace assetgen {
namespace vehicles {

UvRect atlasCell(int w, int h, int x0, int y0, int x1, int y1, int inset) {
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    UvRect r;
    r.lo = {(x0 + inset) / fw, 1.0f - (y1 - inset) / fh};
    r.hi = {(x1 - inset) / fw, 1.0f - (y0 + inset) / fh};
    return r;
}

bool ensureDir(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "assetgen: cannot create %s\n", dir.c_str());
        return false;
    }
    return true;
}

void flatTriangle(MeshBuilder& mb, glm::vec3 a, glm::vec3 b, glm::vec3 c,
                  glm::vec2 ta, glm::vec2 tb, glm::vec2 tc) {
    const glm::vec3 n = glm::cross(b - a, c - a);
    if (glm::length(n) < 1e-9f) return;
    const int ni = mb.addNormal(n);
    const int va = mb.addPosition(a), vb = mb.addPosition(b), vc = mb.addPosition(c);
    const int ua = mb.addTexcoord(ta), ub = mb.addTexcoord(tb), uc = mb.addTexcoord(tc);
    mb.addTriangle({va, ua, ni}, {vb, ub, ni}, {vc, uc, ni});
}

void flatQuad(MeshBuilder& mb, glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d,
              const UvRect& uv) {
    const glm::vec2 ta = uv.lo, tb{uv.hi.x, uv.lo.y}, tc = uv.hi, td{uv.lo.x, uv.hi.y};
    // One normal for both halves keeps slightly twisted quads evenly lit.
    const glm::vec3 n = glm::cross(c - a, d - b);
    if (glm::length(n) < 1e-9f) return;
    const int ni = mb.addNormal(n);
    const int va = mb.addPosition(a), vb = mb.addPosition(b), vc = mb.addPosition(c), vd = mb.addPosition(d);
    const int ua = mb.addTexcoord(ta), ub = mb.addTexcoord(tb), uc = mb.addTexcoord(tc), ud = mb.addTexcoord(td);
    if (glm::length(glm::cross(b - a, c - a)) > 1e-9f) mb.addTriangle({va, ua, ni}, {vb, ub, ni}, {vc, uc, ni});
    if (glm::length(glm::cross(c - a, d - a)) > 1e-9f) mb.addTriangle({va, ua, ni}, {vc, uc, ni}, {vd, ud, ni});
}

namespace {
void fan(MeshBuilder& mb, const std::vector<glm::vec3>& ring, bool reverse, const UvRect& uv) {
    glm::vec3 c(0);
    for (const auto& p : ring) c += p;
    c /= static_cast<float>(ring.size());
    const glm::vec2 mid = (uv.lo + uv.hi) * 0.5f;
    const size_t n = ring.size();
    for (size_t k = 0; k < n; ++k) {
        const glm::vec3 a = ring[k], b = ring[(k + 1) % n];
        if (glm::length(b - a) < 1e-7f) continue;
        if (reverse) flatTriangle(mb, c, b, a, mid, uv.hi, uv.lo);
        else flatTriangle(mb, c, a, b, mid, uv.lo, uv.hi);
    }
}
} // namespace

void loft(MeshBuilder& mb, const std::vector<std::vector<glm::vec3>>& rings,
          const std::function<UvRect(int ring, int edge)>& uvFor,
          const UvRect& capBack, const UvRect& capFront) {
    if (rings.size() < 2) return;
    const size_t n = rings.front().size();
    for (size_t i = 0; i + 1 < rings.size(); ++i)
        for (size_t k = 0; k < n; ++k) {
            const size_t k1 = (k + 1) % n;
            flatQuad(mb, rings[i][k], rings[i][k1], rings[i + 1][k1], rings[i + 1][k],
                     uvFor(static_cast<int>(i), static_cast<int>(k)));
        }
    fan(mb, rings.front(), true, capBack);
    fan(mb, rings.back(), false, capFront);
}

void prism(MeshBuilder& mb, const std::vector<glm::vec2>& polygon, glm::vec3 origin,
           glm::vec3 along, glm::vec3 across, float thickness, const UvRect& uv) {
    const glm::vec3 n = glm::normalize(glm::cross(along, across)) * (thickness / 2);
    std::vector<glm::vec3> top, bottom;
    for (const auto& p : polygon) {
        const glm::vec3 q = origin + along * p.x + across * p.y;
        top.push_back(q + n);
        bottom.push_back(q - n);
    }
    // Polygon counter-clockwise in (along, across) faces +n on the top side.
    loft(mb, {bottom, top}, [&](int, int) { return uv; }, uv, uv);
}

void boxUv(MeshBuilder& mb, glm::vec3 lo, glm::vec3 hi, const UvRect& uv) {
    const std::vector<glm::vec4> faces(6, glm::vec4(uv.lo, uv.hi));
    mb.box(lo, hi, &faces);
}

Image bandTexture(int w, int h, int bands, const std::function<Rgba(int band, float u, float f)>& colour) {
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        const float v = (1.0f - (y + 0.5f) / h) * bands; // v = 0 is the bottom row
        const int band = std::min(bands - 1, static_cast<int>(v));
        for (int x = 0; x < w; ++x) img.set(x, y, colour(band, (x + 0.5f) / w, v - band));
    }
    return img;
}

UvRect bandCell(int bands, int band) {
    UvRect r;
    // Keep off the band edges so filtering stays inside the band.
    const float pad = 0.2f / bands;
    r.lo = {0.0f, static_cast<float>(band) / bands + pad};
    r.hi = {1.0f, static_cast<float>(band + 1) / bands - pad};
    return r;
}

void centreOnOrigin(MeshBuilder& mb) {
    const glm::vec3 c = (mb.boundsMin() + mb.boundsMax()) * 0.5f;
    mb.transformSince(0, glm::translate(glm::mat4(1.0f), -c), mb.normalMark());
}

void reportBounds(const std::string& name, const MeshBuilder& mb) {
    const glm::vec3 lo = mb.boundsMin(), hi = mb.boundsMax();
    std::printf("%-36s x %8.4f..%8.4f  y %8.4f..%8.4f  z %8.4f..%8.4f\n", name.c_str(),
                lo.x, hi.x, lo.y, hi.y, lo.z, hi.z);
}

bool savePng(const Image& img, const std::string& path, bool keepAlpha) {
    if (img.writePng(path, keepAlpha)) return true;
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    return false;
}

} // namespace vehicles
} // namespace assetgen
