#include "tools/assetgen/SceneryKit.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <filesystem>

namespace assetgen::scenery {

namespace {
int wrap(int v, int period) {
    const int m = v % period;
    return m < 0 ? m + period : m;
}
} // namespace

float tileNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = x - xi, fy = y - yi;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const int x0 = wrap(xi, periodX), x1 = wrap(xi + 1, periodX);
    const int y0 = wrap(yi, periodY), y1 = wrap(yi + 1, periodY);
    const float a = hashNoise(x0, y0, seed), b = hashNoise(x1, y0, seed);
    const float c = hashNoise(x0, y1, seed), d = hashNoise(x1, y1, seed);
    const float top = a + (b - a) * sx, bottom = c + (d - c) * sx;
    return top + (bottom - top) * sy;
}

float tileFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * tileNoise(x, y, periodX, periodY, seed + 17u * o);
        norm += amp;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

void centreAndScale(MeshBuilder& mb, float factor) {
    const glm::vec3 c = (mb.boundsMin() + mb.boundsMax()) * 0.5f;
    const glm::mat4 m = glm::translate(glm::scale(glm::mat4(1.0f), glm::vec3(factor)), -c);
    mb.transformSince(0, m, 0);
}

void centreAndFitHalfHeight(MeshBuilder& mb, float halfY) {
    const float half = (mb.boundsMax().y - mb.boundsMin().y) * 0.5f;
    if (half > 0) centreAndScale(mb, halfY / half);
}

void smoothLathe(MeshBuilder& mb, const std::vector<glm::vec2>& profile, int segments, glm::vec3 centre,
                 float smoothDegrees, float uRepeat, float vRepeat, bool inward) {
    const size_t n = profile.size();
    if (n < 2 || segments < 3) return;
    // Outward normal of each profile segment in the (radius, y) plane.
    std::vector<glm::vec2> seg(n - 1);
    for (size_t k = 0; k + 1 < n; ++k) {
        const glm::vec2 along = profile[k + 1] - profile[k];
        const float len = glm::length(along);
        seg[k] = len > 0 ? glm::vec2(along.y, -along.x) / len : glm::vec2(0, 1);
        if (inward) seg[k] = -seg[k];
    }
    const float cosLimit = std::cos(glm::radians(smoothDegrees));
    auto jointNormal = [&](size_t k, size_t own) {
        // Normal at profile point k for the segment own (k - 1 or k).
        if (k == 0 || k == n - 1) return seg[own];
        const glm::vec2 a = seg[k - 1], b = seg[k];
        if (glm::dot(a, b) < cosLimit) return seg[own];
        const glm::vec2 m = a + b;
        return glm::length(m) > 0 ? glm::normalize(m) : seg[own];
    };
    // Texture v runs along the profile by arc length.
    std::vector<float> arc(n, 0.0f);
    for (size_t k = 1; k < n; ++k) arc[k] = arc[k - 1] + glm::length(profile[k] - profile[k - 1]);
    const float total = arc[n - 1] > 0 ? arc[n - 1] : 1.0f;
    for (size_t k = 0; k + 1 < n; ++k) {
        const glm::vec2 a = profile[k], b = profile[k + 1];
        const glm::vec2 na = jointNormal(k, k), nb = jointNormal(k + 1, k);
        const float w0 = vRepeat * arc[k] / total, w1 = vRepeat * arc[k + 1] / total;
        for (int i = 0; i < segments; ++i) {
            const float a0 = glm::two_pi<float>() * i / segments;
            const float a1 = glm::two_pi<float>() * (i + 1) / segments;
            const glm::vec3 d0(std::cos(a0), 0, -std::sin(a0)), d1(std::cos(a1), 0, -std::sin(a1));
            const glm::vec3 up(0, 1, 0);
            const int v00 = mb.addPosition(centre + d0 * a.x + up * a.y);
            const int v10 = mb.addPosition(centre + d1 * a.x + up * a.y);
            const int v11 = mb.addPosition(centre + d1 * b.x + up * b.y);
            const int v01 = mb.addPosition(centre + d0 * b.x + up * b.y);
            const int n00 = mb.addNormal(d0 * na.x + up * na.y), n10 = mb.addNormal(d1 * na.x + up * na.y);
            const int n11 = mb.addNormal(d1 * nb.x + up * nb.y), n01 = mb.addNormal(d0 * nb.x + up * nb.y);
            const float u0 = uRepeat * i / segments, u1 = uRepeat * (i + 1) / segments;
            const int t00 = mb.addTexcoord({u0, w0}), t10 = mb.addTexcoord({u1, w0});
            const int t11 = mb.addTexcoord({u1, w1}), t01 = mb.addTexcoord({u0, w1});
            // Skip the triangle that collapses where the profile meets the axis.
            const MeshBuilder::Corner c00{v00, t00, n00}, c10{v10, t10, n10};
            const MeshBuilder::Corner c11{v11, t11, n11}, c01{v01, t01, n01};
            if (a.x > 0) {
                if (inward) mb.addTriangle(c00, c11, c10);
                else mb.addTriangle(c00, c10, c11);
            }
            if (b.x > 0) {
                if (inward) mb.addTriangle(c00, c01, c11);
                else mb.addTriangle(c00, c11, c01);
            }
        }
    }
}

void tube(MeshBuilder& mb, glm::vec3 a, glm::vec3 b, float radius, int segments) {
    const glm::vec3 d = b - a;
    const float len = glm::length(d);
    if (len <= 0) return;
    const glm::vec3 y = d / len;
    const glm::vec3 ref = std::fabs(y.x) < 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 0, 1);
    const glm::vec3 x = glm::normalize(glm::cross(y, ref));
    const glm::vec3 z = glm::cross(x, y);
    glm::mat4 m(1.0f);
    m[0] = glm::vec4(x, 0);
    m[1] = glm::vec4(y, 0);
    m[2] = glm::vec4(z, 0);
    m[3] = glm::vec4((a + b) * 0.5f, 1);
    const int pm = mb.mark(), nm = mb.normalMark();
    mb.cylinder({0, 0, 0}, 'y', radius, len, segments, true);
    mb.transformSince(pm, m, nm);
}

void prism(MeshBuilder& mb, const glm::vec3 bottom[4], const glm::vec3 top[4], bool withBottom) {
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        mb.quad(bottom[i], bottom[j], top[j], top[i]);
    }
    mb.quad(top[0], top[1], top[2], top[3]);
    if (withBottom) mb.quad(bottom[3], bottom[2], bottom[1], bottom[0]);
}

Material plain(const std::string& name, glm::vec3 kd, float ks, float ns, float d) {
    Material m;
    m.name = name;
    m.Ka = kd;
    m.Kd = kd;
    m.Ks = glm::vec3(ks);
    m.Ns = ns;
    m.d = d;
    return m;
}

Material textured(const std::string& name, const std::string& file, float ks, float ns) {
    Material m = plain(name, glm::vec3(1.0f), ks, ns);
    m.mapKd = file;
    return m;
}

namespace {
bool makeDir(const std::string& root, const std::string& relDir, std::string& out) {
    out = relDir.empty() ? root : root + "/" + relDir;
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    return !ec;
}
} // namespace

bool writeMesh(const MeshBuilder& mb, const std::string& root, const std::string& relDir,
               const std::string& objName, const std::string& mtlName) {
    std::string dir;
    return makeDir(root, relDir, dir) && mb.write(dir, objName, mtlName);
}

bool writeTexture(const Image& img, const std::string& root, const std::string& relDir,
                  const std::string& file) {
    std::string dir;
    return makeDir(root, relDir, dir) && img.writePng(dir + "/" + file);
}

} // namespace assetgen::scenery
