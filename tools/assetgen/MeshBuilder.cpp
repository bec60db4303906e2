#include "tools/assetgen/MeshBuilder.h"

#include <glm/gtc/constants.hpp>

#include <cstdio>
#include <fstream>
#include <limits>

namespace assetgen {

void MeshBuilder::addMaterial(const Material& m) {
    materials.push_back(m);
    useMaterial(m.name);
}

void MeshBuilder::useMaterial(const std::string& name) { current = name; }

int MeshBuilder::addPosition(glm::vec3 p) {
    positions.push_back(p);
    return static_cast<int>(positions.size()) - 1;
}
int MeshBuilder::addTexcoord(glm::vec2 t) {
    texcoords.push_back(t);
    return static_cast<int>(texcoords.size()) - 1;
}
int MeshBuilder::addNormal(glm::vec3 n) {
    const float len = glm::length(n);
    normals.push_back(len > 0 ? n / len : glm::vec3(0, 1, 0));
    return static_cast<int>(normals.size()) - 1;
}

void MeshBuilder::addTriangle(Corner a, Corner b, Corner c) {
    if (groups.empty() || groups.back().material != current) groups.push_back({current, {}});
    groups.back().faces.push_back({{a, b, c}});
}

void MeshBuilder::quad(glm::vec3 p0, glm::vec3 p1, glm::vec3 p2, glm::vec3 p3,
                       glm::vec2 uv0, glm::vec2 uv1) {
    const glm::vec3 n = glm::cross(p1 - p0, p2 - p0);
    const int ni = addNormal(n);
    const int v0 = addPosition(p0), v1 = addPosition(p1), v2 = addPosition(p2), v3 = addPosition(p3);
    const int t0 = addTexcoord({uv0.x, uv0.y}), t1 = addTexcoord({uv1.x, uv0.y});
    const int t2 = addTexcoord({uv1.x, uv1.y}), t3 = addTexcoord({uv0.x, uv1.y});
    addTriangle({v0, t0, ni}, {v1, t1, ni}, {v2, t2, ni});
    addTriangle({v0, t0, ni}, {v2, t2, ni}, {v3, t3, ni});
}

void MeshBuilder::box(glm::vec3 lo, glm::vec3 hi, const std::vector<glm::vec4>* faceUv) {
    auto uv = [&](int f, glm::vec2& a, glm::vec2& b) {
        if (faceUv && f < static_cast<int>(faceUv->size())) {
            const glm::vec4 r = (*faceUv)[f];
            a = {r.x, r.y};
            b = {r.z, r.w};
        } else {
            a = {0, 0};
            b = {1, 1};
        }
    };
    glm::vec2 a, b;
    uv(0, a, b); // +x
    quad({hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, a, b);
    uv(1, a, b); // -x
    quad({lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, a, b);
    uv(2, a, b); // +y
    quad({lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, a, b);
    uv(3, a, b); // -y
    quad({lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}, a, b);
    uv(4, a, b); // +z
    quad({lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, a, b);
    uv(5, a, b); // -z
    quad({hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, a, b);
}

namespace {
// Maps local (radial x, along, radial z) to world axes for an axis choice.
glm::vec3 orient(char axis, glm::vec3 local) {
    switch (axis) {
    case 'x': return {local.y, local.z, local.x};
    case 'z': return {local.x, local.z, local.y};
    default: return local;
    }
}
} // namespace

void MeshBuilder::cylinder(glm::vec3 c, char axis, float radius, float length, int segments,
                           bool caps, const std::string& capMaterial) {
    const float h = length / 2;
    const std::string side = current;
    for (int i = 0; i < segments; ++i) {
        const float a0 = glm::two_pi<float>() * i / segments;
        const float a1 = glm::two_pi<float>() * (i + 1) / segments;
        const glm::vec3 d0 = orient(axis, {std::cos(a0), 0, std::sin(a0)});
        const glm::vec3 d1 = orient(axis, {std::cos(a1), 0, std::sin(a1)});
        const glm::vec3 up = orient(axis, {0, 1, 0});
        const glm::vec3 p00 = c + d0 * radius - up * h, p10 = c + d1 * radius - up * h;
        const glm::vec3 p11 = c + d1 * radius + up * h, p01 = c + d0 * radius + up * h;
        const int n0 = addNormal(d0), n1 = addNormal(d1);
        const int v00 = addPosition(p00), v10 = addPosition(p10), v11 = addPosition(p11), v01 = addPosition(p01);
        const float u0 = static_cast<float>(i) / segments, u1 = static_cast<float>(i + 1) / segments;
        const int t00 = addTexcoord({u0, 0}), t10 = addTexcoord({u1, 0});
        const int t11 = addTexcoord({u1, 1}), t01 = addTexcoord({u0, 1});
        // Wound so that the outside faces front whatever the axis.
        const glm::vec3 fn = glm::cross(p10 - p00, p11 - p00);
        if (glm::dot(fn, d0 + d1) >= 0) {
            addTriangle({v00, t00, n0}, {v10, t10, n1}, {v11, t11, n1});
            addTriangle({v00, t00, n0}, {v11, t11, n1}, {v01, t01, n0});
        } else {
            addTriangle({v00, t00, n0}, {v11, t11, n1}, {v10, t10, n1});
            addTriangle({v00, t00, n0}, {v01, t01, n0}, {v11, t11, n1});
        }
    }
    if (!caps) return;
    if (!capMaterial.empty()) useMaterial(capMaterial);
    for (int s = -1; s <= 1; s += 2) {
        const glm::vec3 up = orient(axis, {0, 1, 0}) * static_cast<float>(s);
        const int n = addNormal(up);
        const int centre = addPosition(c + up * h);
        const int tc = addTexcoord({0.5f, 0.5f});
        for (int i = 0; i < segments; ++i) {
            const float a0 = glm::two_pi<float>() * i / segments;
            const float a1 = glm::two_pi<float>() * (i + 1) / segments;
            const glm::vec3 d0 = orient(axis, {std::cos(a0), 0, std::sin(a0)});
            const glm::vec3 d1 = orient(axis, {std::cos(a1), 0, std::sin(a1)});
            const int v0 = addPosition(c + up * h + d0 * radius), v1 = addPosition(c + up * h + d1 * radius);
            const int t0 = addTexcoord({0.5f + 0.5f * std::cos(a0), 0.5f + 0.5f * std::sin(a0)});
            const int t1 = addTexcoord({0.5f + 0.5f * std::cos(a1), 0.5f + 0.5f * std::sin(a1)});
            const glm::vec3 fn = glm::cross(d0 * radius, d1 * radius);
            if (glm::dot(fn, up) >= 0) addTriangle({centre, tc, n}, {v0, t0, n}, {v1, t1, n});
            else addTriangle({centre, tc, n}, {v1, t1, n}, {v0, t0, n});
        }
    }
    useMaterial(side);
}

void MeshBuilder::lathe(const std::vector<glm::vec2>& profile, int segments, glm::vec3 centre, bool inward) {
    if (profile.size() < 2) return;
    for (size_t k = 0; k + 1 < profile.size(); ++k) {
        const glm::vec2 a = profile[k], b = profile[k + 1];
        // Normal of the profile segment in the (radial, y) plane.
        const glm::vec2 along = b - a;
        glm::vec2 pn(along.y, -along.x);
        if (inward) pn = -pn;
        for (int i = 0; i < segments; ++i) {
            const float a0 = glm::two_pi<float>() * i / segments;
            const float a1 = glm::two_pi<float>() * (i + 1) / segments;
            const glm::vec3 d0(std::cos(a0), 0, -std::sin(a0)), d1(std::cos(a1), 0, -std::sin(a1));
            const glm::vec3 p00 = centre + d0 * a.x + glm::vec3(0, a.y, 0);
            const glm::vec3 p10 = centre + d1 * a.x + glm::vec3(0, a.y, 0);
            const glm::vec3 p11 = centre + d1 * b.x + glm::vec3(0, b.y, 0);
            const glm::vec3 p01 = centre + d0 * b.x + glm::vec3(0, b.y, 0);
            const int n0 = addNormal(d0 * pn.x + glm::vec3(0, pn.y, 0));
            const int n1 = addNormal(d1 * pn.x + glm::vec3(0, pn.y, 0));
            const float u0 = static_cast<float>(i) / segments, u1 = static_cast<float>(i + 1) / segments;
            const float w0 = static_cast<float>(k) / (profile.size() - 1);
            const float w1 = static_cast<float>(k + 1) / (profile.size() - 1);
            const int v00 = addPosition(p00), v10 = addPosition(p10), v11 = addPosition(p11), v01 = addPosition(p01);
            const int t00 = addTexcoord({u0, w0}), t10 = addTexcoord({u1, w0});
            const int t11 = addTexcoord({u1, w1}), t01 = addTexcoord({u0, w1});
            if (!inward) {
                addTriangle({v00, t00, n0}, {v10, t10, n1}, {v11, t11, n1});
                addTriangle({v00, t00, n0}, {v11, t11, n1}, {v01, t01, n0});
            } else {
                addTriangle({v00, t00, n0}, {v11, t11, n1}, {v10, t10, n1});
                addTriangle({v00, t00, n0}, {v01, t01, n0}, {v11, t11, n1});
            }
        }
    }
}

void MeshBuilder::sphere(glm::vec3 c, float r, int rings, int segments, bool inward) {
    std::vector<glm::vec2> profile;
    for (int i = 0; i <= rings; ++i) {
        const float t = glm::pi<float>() * i / rings - glm::half_pi<float>();
        profile.push_back({r * std::cos(t), r * std::sin(t)});
    }
    lathe(profile, segments, c, inward);
}

void MeshBuilder::transformSince(int posMark, const glm::mat4& m, int nMark) {
    const glm::mat3 nm = glm::transpose(glm::inverse(glm::mat3(m)));
    for (size_t i = posMark; i < positions.size(); ++i) positions[i] = glm::vec3(m * glm::vec4(positions[i], 1));
    for (size_t i = nMark; i < normals.size(); ++i) normals[i] = glm::normalize(nm * normals[i]);
}

glm::vec3 MeshBuilder::boundsMin() const {
    glm::vec3 lo(std::numeric_limits<float>::max());
    for (const auto& p : positions) lo = glm::min(lo, p);
    return lo;
}

glm::vec3 MeshBuilder::boundsMax() const {
    glm::vec3 hi(std::numeric_limits<float>::lowest());
    for (const auto& p : positions) hi = glm::max(hi, p);
    return hi;
}

namespace {
std::string fmt(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5f", v == 0.0f ? 0.0f : v); // no "-0.00000"
    return buf;
}
} // namespace

bool MeshBuilder::write(const std::string& dir, const std::string& objName,
                        const std::string& mtlName) const {
    std::ofstream mtl(dir + "/" + mtlName);
    if (!mtl) return false;
    mtl << "# Generated by tools/assetgen\n";
    for (const Material& m : materials) {
        mtl << "\nnewmtl " << m.name << "\n";
        mtl << "Ns " << fmt(m.Ns) << "\n";
        mtl << "Ka " << fmt(m.Ka.x) << " " << fmt(m.Ka.y) << " " << fmt(m.Ka.z) << "\n";
        mtl << "Kd " << fmt(m.Kd.x) << " " << fmt(m.Kd.y) << " " << fmt(m.Kd.z) << "\n";
        mtl << "Ks " << fmt(m.Ks.x) << " " << fmt(m.Ks.y) << " " << fmt(m.Ks.z) << "\n";
        mtl << "Ke " << fmt(m.Ke.x) << " " << fmt(m.Ke.y) << " " << fmt(m.Ke.z) << "\n";
        mtl << "d " << fmt(m.d) << "\n";
        if (!m.mapKd.empty()) mtl << "map_Kd " << m.mapKd << "\n";
    }
    std::ofstream obj(dir + "/" + objName);
    if (!obj) return false;
    obj << "# Generated by tools/assetgen\n";
    obj << "mtllib " << mtlName << "\n";
    for (const auto& p : positions) obj << "v " << fmt(p.x) << " " << fmt(p.y) << " " << fmt(p.z) << "\n";
    for (const auto& t : texcoords) obj << "vt " << fmt(t.x) << " " << fmt(t.y) << "\n";
    for (const auto& n : normals) obj << "vn " << fmt(n.x) << " " << fmt(n.y) << " " << fmt(n.z) << "\n";
    for (const Group& g : groups) {
        obj << "usemtl " << g.material << "\n";
        for (const Face& f : g.faces) {
            obj << "f";
            for (const Corner& c : f.c) {
                obj << " " << c.v + 1;
                if (c.t >= 0 && c.n >= 0) obj << "/" << c.t + 1 << "/" << c.n + 1;
                else if (c.n >= 0) obj << "//" << c.n + 1;
                else if (c.t >= 0) obj << "/" << c.t + 1;
            }
            obj << "\n";
        }
    }
    return static_cast<bool>(obj) && static_cast<bool>(mtl);
}

} // namespace assetgen
