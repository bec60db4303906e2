#include "tests/support/ObjFileCheck.h"

#include <fstream>
#include <sstream>

#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

namespace testsupport {
namespace {

constexpr size_t MAX_LINE = 254;

// Leading decimal integer as the reader takes it; 0 when there is none.
long leadingInt(const std::string& text) {
    std::istringstream in(text);
    long v = 0;
    return in >> v ? v : 0;
}

// A corner's v/t/n indices as the reader splits them at the first and last '/'.
void splitCorner(const std::string& w, long& v, long& t, long& n) {
    const size_t first = w.find('/'), last = w.rfind('/');
    v = leadingInt(w.substr(0, first));
    t = leadingInt(first == std::string::npos ? w : w.substr(first + 1, first == last ? std::string::npos : last - first - 1));
    n = leadingInt(last == std::string::npos ? w : w.substr(last + 1));
}

} // namespace

ObjFileReport checkObjFile(const std::string& objPath) {
    ObjFileReport r;
    std::ifstream obj(objPath);
    if (!obj) {
        r.problems.push_back("file missing");
        return r;
    }
    const std::string dir = objPath.substr(0, objPath.rfind('/') + 1); // "" without a '/'
    long nv = 0, nvt = 0, nvn = 0;
    std::string mtllib, current, line;
    struct Face {
        std::string material;
        std::vector<std::string> corners;
        std::string where;
    };
    std::vector<Face> faces;
    for (int lineNo = 1; std::getline(obj, line); ++lineNo) {
        const std::string where = "line " + std::to_string(lineNo);
        if (line.size() > MAX_LINE) r.problems.push_back(where + " is too long");
        std::istringstream words(line);
        std::string kw, w;
        words >> kw;
        if (kw == "v" || kw == "vn" || kw == "vt") {
            float f[3];
            if (!(words >> f[0] >> f[1]) || (kw != "vt" && !(words >> f[2]))) r.problems.push_back(where + ": bad " + kw);
            (kw == "v" ? nv : kw == "vt" ? nvt : nvn)++;
        } else if (kw == "mtllib") {
            words >> mtllib;
        } else if (kw == "usemtl") {
            words >> current;
            r.facesPerMaterial.emplace(current, 0);
        } else if (kw == "f") {
            faces.push_back({current, {}, where});
            while (words >> w) faces.back().corners.push_back(w);
        }
    }
    // Without an MTL file the reader puts faces outside any usemtl into "default".
    if (mtllib.empty()) r.facesPerMaterial.emplace("default", 0);
    for (Face& f : faces) {
        if (f.corners.size() != 3) r.problems.push_back(f.where + ": face is not a triangle");
        if (mtllib.empty() && f.material.empty()) f.material = "default";
        if (f.material.empty()) {
            r.problems.push_back(f.where + ": face before any usemtl");
            continue;
        }
        for (size_t i = 0; i < f.corners.size() && i < 3; ++i) {
            long v, t, n;
            splitCorner(f.corners[i], v, t, n);
            if (v < 1 || v > nv) r.problems.push_back(f.where + ": position index out of range");
            if (t < 0 || t > nvt) r.problems.push_back(f.where + ": texture index out of range");
            if (n < 1 || n > nvn) r.problems.push_back(f.where + ": normal index out of range");
        }
        ++r.facesPerMaterial[f.material];
        ++r.faces;
    }
    if (r.faces == 0) r.problems.push_back("no faces");
    for (const auto& [name, count] : r.facesPerMaterial)
        if (count == 0 && !(mtllib.empty() && name == "default")) r.problems.push_back("material " + name + " has no faces");
    if (mtllib.empty()) return r;

    std::ifstream mtl(dir + mtllib);
    if (!mtl) {
        r.problems.push_back("MTL file " + mtllib + " missing");
        return r;
    }
    std::set<std::string> defined;
    std::string material;
    for (int lineNo = 1; std::getline(mtl, line); ++lineNo) {
        if (line.size() > MAX_LINE) r.problems.push_back(mtllib + " line " + std::to_string(lineNo) + " is too long");
        std::istringstream words(line);
        std::string kw, file;
        words >> kw;
        if (kw == "newmtl") {
            words >> material;
            defined.insert(material);
        } else if (kw == "map_Kd" && r.facesPerMaterial.count(material)) {
            words >> file;
            if (!std::ifstream(dir + file)) {
                r.problems.push_back("texture " + file + " missing");
                continue;
            }
            r.texturedMaterials.insert(material);
            r.textures.push_back(dir + file);
        }
    }
    for (const auto& [name, count] : r.facesPerMaterial)
        if (!defined.count(name)) r.problems.push_back("material " + name + " not in " + mtllib);
    return r;
}

MeshHandler& PackMeshes::load(const std::string& rel) {
    ScopedWorkDir inRepo(sourcePath(""));
    meshes_.push_back(std::make_unique<MeshHandler>());
    meshes_.back()->loadObj(rel);
    return *meshes_.back();
}

} // namespace testsupport
