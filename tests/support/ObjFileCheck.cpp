#include "tests/support/ObjFileCheck.h"

#include <fstream>
#include <sstream>

namespace testsupport {
namespace {

constexpr size_t MAX_LINE = 254;

bool readable(const std::string& path) { return std::ifstream(path).good(); }

// Leading decimal integer as the reader takes it; 0 when there is none.
long leadingInt(const std::string& text) {
    std::istringstream in(text);
    long v = 0;
    if (!(in >> v)) return 0;
    return v;
}

struct Corner {
    long v, t, n;
};

Corner splitCorner(const std::string& w) {
    const size_t first = w.find('/'), last = w.rfind('/');
    Corner c;
    c.v = leadingInt(w.substr(0, first));
    if (first == std::string::npos)
        c.t = leadingInt(w);
    else if (first == last)
        c.t = leadingInt(w.substr(first + 1));
    else
        c.t = leadingInt(w.substr(first + 1, last - first - 1));
    c.n = leadingInt(last == std::string::npos ? w : w.substr(last + 1));
    return c;
}

} // namespace

ObjFileReport checkObjFile(const std::string& objPath) {
    ObjFileReport r;
    std::ifstream obj(objPath);
    if (!obj) {
        r.problems.push_back("file missing");
        return r;
    }
    const size_t slash = objPath.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : objPath.substr(0, slash + 1);

    long nv = 0, nvt = 0, nvn = 0;
    std::string mtllib, current;
    struct Face {
        std::string material;
        std::vector<std::string> corners;
        int line;
    };
    std::vector<Face> faces;
    std::string line;
    int lineNo = 0;
    while (std::getline(obj, line)) {
        ++lineNo;
        if (line.size() > MAX_LINE) r.problems.push_back("line " + std::to_string(lineNo) + " is too long");
        std::istringstream words(line);
        std::string kw;
        words >> kw;
        if (kw == "v" || kw == "vn" || kw == "vt") {
            const int need = kw == "vt" ? 2 : 3;
            for (int i = 0; i < need; ++i) {
                float f;
                if (!(words >> f)) r.problems.push_back("line " + std::to_string(lineNo) + ": bad " + kw);
            }
            (kw == "v" ? nv : kw == "vt" ? nvt : nvn)++;
        } else if (kw == "mtllib") {
            words >> mtllib;
        } else if (kw == "usemtl") {
            words >> current;
            r.facesPerMaterial.emplace(current, 0);
        } else if (kw == "f") {
            Face f{current, {}, lineNo};
            std::string w;
            while (words >> w) f.corners.push_back(w);
            faces.push_back(f);
        }
    }
    // Without an MTL file the reader puts faces outside any usemtl into "default".
    if (mtllib.empty()) r.facesPerMaterial.emplace("default", 0);
    for (Face& f : faces) {
        const std::string where = "line " + std::to_string(f.line);
        if (f.corners.size() != 3) r.problems.push_back(where + ": face is not a triangle");
        if (mtllib.empty() && f.material.empty()) f.material = "default";
        if (f.material.empty()) {
            r.problems.push_back(where + ": face before any usemtl");
            continue;
        }
        for (size_t i = 0; i < f.corners.size() && i < 3; ++i) {
            const Corner c = splitCorner(f.corners[i]);
            if (c.v < 1 || c.v > nv) r.problems.push_back(where + ": position index out of range");
            if (c.t < 0 || c.t > nvt) r.problems.push_back(where + ": texture index out of range");
            if (c.n < 1 || c.n > nvn) r.problems.push_back(where + ": normal index out of range");
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
    lineNo = 0;
    while (std::getline(mtl, line)) {
        ++lineNo;
        if (line.size() > MAX_LINE) r.problems.push_back(mtllib + " line " + std::to_string(lineNo) + " is too long");
        std::istringstream words(line);
        std::string kw;
        words >> kw;
        if (kw == "newmtl") {
            words >> material;
            defined.insert(material);
        } else if (kw == "map_Kd" && r.facesPerMaterial.count(material)) {
            std::string file;
            words >> file;
            const std::string path = dir + file;
            if (!readable(path)) {
                r.problems.push_back("texture " + file + " missing");
            } else {
                r.texturedMaterials.insert(material);
                r.textures.push_back(path);
            }
        }
    }
    for (const auto& [name, count] : r.facesPerMaterial)
        if (!defined.count(name)) r.problems.push_back("material " + name + " not in " + mtllib);
    return r;
}

} // namespace testsupport
