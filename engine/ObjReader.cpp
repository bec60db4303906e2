#include "engine/ObjReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "engine/FaceGroup.h"
#include "engine/FileLookup.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ObjLineScanner.h"

namespace {

// Keywords are compared by length and bytes; these cover every statement.
enum class Keyword { Other, V, Vt, Vn, F, Mtllib, Usemtl };

Keyword keywordOf(const char* begin, const char* end) {
    switch (end - begin) {
    case 1:
        if (begin[0] == 'v') return Keyword::V;
        if (begin[0] == 'f') return Keyword::F;
        return Keyword::Other;
    case 2:
        if (begin[0] != 'v') return Keyword::Other;
        if (begin[1] == 't') return Keyword::Vt;
        if (begin[1] == 'n') return Keyword::Vn;
        return Keyword::Other;
    case 6:
        if (ObjLineScanner::equals(begin, end, "mtllib")) return Keyword::Mtllib;
        if (ObjLineScanner::equals(begin, end, "usemtl")) return Keyword::Usemtl;
        return Keyword::Other;
    default:
        return Keyword::Other;
    }
}

// Resolves an index of the file to an entry of a temporary array: 0 stays
// the entry of index 0, negative indices count back from the last statement
// of their kind seen so far. -1 when the index selects nothing.
long long resolveIndex(long long index, unsigned int seen, unsigned int count) {
    if (index < 0) {
        index = (long long)seen + 1 + index;
        // Counting back past the first statement selects nothing.
        if (index < 1)
            return -1;
    }
    if (index > (long long)count)
        return -1;
    return index;
}

// The three index texts of a corner word: vertex before the first "/",
// texture coordinate between the first and the last "/", normal after the
// last "/"; a word without "/" gives itself for all three.
struct Corner {
    long long vertex;
    long long texCoord;
    long long normal;
};

// Leading digits of a corner's index text (corner words hold no white
// space); saturates far beyond any array size.
inline long long leadingIndex(const char* c, const char* end) {
    bool negative = false;
    if (c < end && (*c == '+' || *c == '-')) {
        negative = *c == '-';
        ++c;
    }
    long long value = 0;
    while (c < end && unsigned(*c - '0') < 10u) {
        if (value < (1LL << 40))
            value = value * 10 + (*c - '0');
        ++c;
    }
    return negative ? -value : value;
}

Corner splitCorner(const char* begin, const char* end) {
    const char* first = static_cast<const char*>(std::memchr(begin, '/', std::size_t(end - begin)));
    if (!first) {
        const long long all = leadingIndex(begin, end);
        return {all, all, all};
    }
    const char* last = end - 1;
    while (*last != '/')
        --last;
    // The texture-coordinate text runs from the first "/" to the last (or to
    // the end); its leading digits are those right after the first "/".
    return {leadingIndex(begin, first), leadingIndex(first + 1, end),
            leadingIndex(last + 1, end)};
}

} // namespace

ObjReader::ObjReader(MeshHandler& mesh) : mesh(mesh) {}

bool ObjReader::readFile(const std::string& path, std::string& content) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    content.clear();
    struct stat st {};
    if (fstat(fileno(file), &st) == 0 && st.st_size > 0) {
        // Straight into the buffer; a file that grows meanwhile is read on.
        content.resize(std::size_t(st.st_size));
        content.resize(std::fread(&content[0], 1, content.size(), file));
    }
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        content.append(chunk, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void ObjReader::read(const std::string& fileName) {
    const std::string path = findFile(fileName);
    std::string text;
    if (!fileExists(path) || !readFile(path, text)) {
        if (mesh.verbose) {
            logLine("Mesh file not found:");
            logLine(path);
        }
        setRadius();
        return;
    }
    if (mesh.verbose) {
        log("\nMesh file found, loading...");
        logLine(path);
    }
    const std::string::size_type slash = path.rfind('/');
    meshDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);

    if (mesh.verbose)
        logLine("1st step: Get array sizes for preallocation...");
    countStatements(text);
    if (mesh.verbose) {
        logLine("Vertices, Texture Coords, Normals, Faces, Materials:");
        logLine(vertexCount);
        logLine(texCoordCount);
        logLine(normalCount);
        logLine(faceCount);
        logLine(materialCount);
        if (!mesh.hasMtl)
            logLine("No MTL File associated");
    }

    if (mesh.verbose)
        logLine("2nd step: fill the temporary arrays with the following data: vertices, normals and texture coords...");
    storeVertexData(text);

    if (mesh.verbose)
        logLine("3rd step: create faceGroups from materials and add them to facegrouplist, and insert the faces ...");
    addFaces(text);

    // The temporary data is not needed for the materials.
    std::string().swap(text);
    std::vector<glm::vec4>().swap(positions);
    std::vector<glm::vec2>().swap(texCoords);
    std::vector<glm::vec3>().swap(normals);

    if (mesh.hasMtl)
        readMtl(meshDirectory + mtlFileName);
    setRadius();
}

void ObjReader::countStatements(const std::string& text) {
    ObjLineScanner line(text.data(), text.size());
    const char* begin;
    const char* end;
    std::string name;
    std::size_t* groupFaces = &facesPerGroup["default"];
    while (line.nextLine()) {
        if (!line.nextWord(begin, end))
            continue;
        switch (keywordOf(begin, end)) {
        case Keyword::V: ++vertexCount; break;
        case Keyword::Vt: ++texCoordCount; break;
        case Keyword::Vn: ++normalCount; break;
        case Keyword::F:
            ++faceCount;
            ++*groupFaces;
            break;
        case Keyword::Mtllib:
            line.nextString(mtlFileName);
            break;
        case Keyword::Usemtl:
            if (!line.nextString(name))
                break;
            if (!mesh.hasFaceGroup(name)) {
                mesh.addFaceGroup(name);
                ++materialCount;
            }
            groupFaces = &facesPerGroup[name];
            break;
        case Keyword::Other: break;
        }
    }
    mesh.hasMtl = !mtlFileName.empty();
}

void ObjReader::storeVertexData(const std::string& text) {
    positions.assign(std::size_t(vertexCount) + 1, glm::vec4(1.0f));
    texCoords.assign(std::size_t(texCoordCount) + 1, glm::vec2(1.0f));
    normals.assign(std::size_t(normalCount) + 1, glm::vec3(1.0f));
    unsigned int nextPosition = 1, nextTexCoord = 1, nextNormal = 1;

    ObjLineScanner line(text.data(), text.size());
    const char* begin;
    const char* end;
    while (line.nextLine()) {
        if (!line.nextWord(begin, end))
            continue;
        switch (keywordOf(begin, end)) {
        case Keyword::V: {
            const float x = line.nextFloat();
            const float y = line.nextFloat();
            const float z = line.nextFloat();
            mesh.maxX = std::max(mesh.maxX, x);
            mesh.maxY = std::max(mesh.maxY, y);
            mesh.maxZ = std::max(mesh.maxZ, z);
            mesh.minX = std::min(mesh.minX, x);
            mesh.minY = std::min(mesh.minY, y);
            mesh.minZ = std::min(mesh.minZ, z);
            if (nextPosition <= vertexCount)
                positions[nextPosition++] = glm::vec4(x, y, z, 1.0f);
            break;
        }
        case Keyword::Vt: {
            const float u = line.nextFloat();
            const float v = line.nextFloat();
            if (nextTexCoord <= texCoordCount)
                texCoords[nextTexCoord++] = glm::vec2(u, v);
            break;
        }
        case Keyword::Vn: {
            const float x = line.nextFloat();
            const float y = line.nextFloat();
            const float z = line.nextFloat();
            if (nextNormal <= normalCount)
                normals[nextNormal++] = glm::vec3(x, y, z);
            break;
        }
        default: break;
        }
    }
}

void ObjReader::addFaces(const std::string& text) {
    FaceGroup* current = nullptr;
    if (!mesh.hasMtl) {
        mesh.addFaceGroup("default");
        current = mesh.getFaceGroup("default");
    }
    for (auto& entry : mesh.getFaceGroups())
        reserve(entry.second);
    ObjLineScanner line(text.data(), text.size());
    const char* begin;
    const char* end;
    std::string name;
    while (line.nextLine()) {
        if (!line.nextWord(begin, end))
            continue;
        switch (keywordOf(begin, end)) {
        case Keyword::V: ++positionsSeen; break;
        case Keyword::Vt: ++texCoordsSeen; break;
        case Keyword::Vn: ++normalsSeen; break;
        case Keyword::Usemtl:
            if (!line.nextString(name))
                break;
            if (mesh.hasFaceGroup(name)) {
                current = mesh.getFaceGroup(name);
            } else if (mesh.verbose) {
                logLine("mtl not found:");
                logLine(name);
            }
            break;
        case Keyword::F:
            if (!current) {
                // Faces ahead of the first material still belong to the mesh.
                mesh.addFaceGroup("default");
                current = mesh.getFaceGroup("default");
                reserve(current);
            }
            addFace(line, current);
            break;
        default: break;
        }
    }
}

void ObjReader::addFace(ObjLineScanner& line, FaceGroup* group) {
    long long vertex[3], texCoord[3], normal[3];
    const char* begin;
    const char* end;
    for (int i = 0; i < 3; ++i) {
        // A face needs three corners.
        if (!line.nextWord(begin, end))
            return;
        const Corner corner = splitCorner(begin, end);
        vertex[i] = resolveIndex(corner.vertex, positionsSeen, vertexCount);
        // A triangle with a corner outside the positions would be garbage.
        if (vertex[i] < 0)
            return;
        // Missing texture coordinates and normals take the value of index 0.
        texCoord[i] = std::max(0LL, resolveIndex(corner.texCoord, texCoordsSeen, texCoordCount));
        normal[i] = std::max(0LL, resolveIndex(corner.normal, normalsSeen, normalCount));
    }
    for (int i = 0; i < 3; ++i) {
        group->addVertex(positions[std::size_t(vertex[i])]);
        group->addTexCoord(texCoords[std::size_t(texCoord[i])]);
        group->addNormal(normals[std::size_t(normal[i])]);
    }
}

void ObjReader::reserve(FaceGroup* group) {
    const auto it = facesPerGroup.find(group->name);
    if (it == facesPerGroup.end())
        return;
    const std::size_t corners = 3 * it->second;
    group->vertices->reserve(corners);
    group->texCoords->reserve(corners);
    group->normals->reserve(corners);
    group->indices->reserve(corners);
}

void ObjReader::readMtl(const std::string& path) {
    std::string text;
    if (!fileExists(path) || !readFile(path, text)) {
        if (mesh.verbose) {
            logLine("MTL file not found:");
            logLine(path);
        }
        return;
    }
    if (mesh.verbose) {
        log("MTL file found, loading...");
        logLine(path);
    }
    ObjLineScanner line(text.data(), text.size());
    const char* begin;
    const char* end;
    FaceGroup* current = nullptr;
    std::string name;
    while (line.nextLine()) {
        if (!line.nextWord(begin, end))
            continue;
        if (ObjLineScanner::equals(begin, end, "newmtl")) {
            name.clear();
            line.nextString(name);
            current = mesh.getFaceGroup(name);
            if (!current && mesh.verbose) {
                logLine("facegroup corresponding to mtl not found:");
                logLine(name);
            }
            continue;
        }
        if (!current)
            continue;
        glm::vec4* colour = nullptr;
        if (ObjLineScanner::equals(begin, end, "Kd")) colour = &current->Kd;
        else if (ObjLineScanner::equals(begin, end, "Ka")) colour = &current->Ka;
        else if (ObjLineScanner::equals(begin, end, "Ks")) colour = &current->Ks;
        else if (ObjLineScanner::equals(begin, end, "Ke")) colour = &current->Ke;
        if (colour) {
            const float r = line.nextFloat();
            const float g = line.nextFloat();
            const float b = line.nextFloat();
            *colour = glm::vec4(r, g, b, 1.0f);
        } else if (ObjLineScanner::equals(begin, end, "Ns")) {
            current->Ns = line.nextFloat();
        } else if (ObjLineScanner::equals(begin, end, "d")) {
            current->d = line.nextFloat();
        } else if (ObjLineScanner::equals(begin, end, "map_Kd")) {
            if (line.nextString(name))
                mesh.loadTexture(meshDirectory + name, current);
        }
    }
}

void ObjReader::setRadius() {
    const float largest = std::max({std::fabs(mesh.minX), std::fabs(mesh.maxX),
                                    std::fabs(mesh.minY), std::fabs(mesh.maxY),
                                    std::fabs(mesh.minZ), std::fabs(mesh.maxZ)});
    mesh.radius = 1.5f * largest;
}
