#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "tests/support/TempDir.h"

using testsupport::TempDir;

namespace {

// Four positions, six texture coordinates, seven normals.
const std::string kCube =
    "v 1 0 0\nv 0 2 0\nv 0 0 3\nv 4 4 4\n"
    "vt 0.1 0.1\nvt 0.2 0.2\nvt 0.3 0.3\nvt 0.4 0.4\nvt 0.5 0.5\nvt 0.6 0.6\n"
    "vn 1 0 0\nvn 2 0 0\nvn 3 0 0\nvn 4 0 0\nvn 5 0 0\nvn 6 0 0\nvn 7 0 0\n";

// Each test works and logs in its own directory.
class ObjReader : public ::testing::Test {
protected:
    void SetUp() override { Log::destroy(); }
    void TearDown() override { Log::destroy(); }

    void load(MeshHandler& mesh, const std::string& obj, bool verbose = false) {
        dir.write("m.obj", obj);
        mesh.verbose = verbose;
        mesh.loadObj("m.obj");
    }
    FaceGroup& group(MeshHandler& mesh, const std::string& name) {
        FaceGroup* g = mesh.getFaceGroup(name);
        if (!g) throw std::runtime_error("no face group " + name);
        return *g;
    }
    std::string logText() {
        Log::destroy();
        return dir.read("qelm.log");
    }

    TempDir dir;
};

} // namespace

TEST_F(ObjReader, MissingFileGivesAnEmptyMeshAndItsMessage) {
    MeshHandler quiet, loud;
    quiet.loadObj("meshes/none.obj");
    EXPECT_EQ(quiet.getFaceGroupCount(), 0u);
    EXPECT_EQ(quiet.radius, 0.0f);
    EXPECT_EQ(logText(), "");  // nothing logged without verbose
    loud.verbose = true;
    loud.loadObj("meshes/none.obj");
    EXPECT_EQ(logText(), "Mesh file not found:\n\n");
}

TEST_F(ObjReader, CornerFormsSelectTheirEntries) {
    MeshHandler mesh;
    load(mesh, kCube + "f 1/2/3 2/3/4 3/4/5\n"       // v/t/n
                       "f 1//2 2//3 3//4\n"           // v//n: texture entry 0
                       "f 1/4 2/5 3/6\n"              // v/t: normal from t
                       "f 1 2 3\n"                    // v: all three from v
                       "f 1/2/3/4 2/2/2/2 3/2/2/2\n"  // t from the middle text
                       "f 4 3 2 1\n");                // only the first three corners
    FaceGroup& g = group(mesh, "default");
    ASSERT_TRUE(g.vertexCount == 18u && g.texCoords->size() == 18u && g.normals->size() == 18u);
    for (unsigned int i = 0; i < 18; ++i) EXPECT_EQ((*g.indices)[i], i);
    const auto& v = *g.vertices;
    const auto& t = *g.texCoords;
    const auto& n = *g.normals;
    EXPECT_EQ(v[0], glm::vec4(1, 0, 0, 1));
    struct { int i; float t, n; } rows[] = {
        {0, 0.2f, 3}, {2, 0.4f, 5}, {3, 1, 2}, {4, 1, 3}, {5, 1, 4}, {6, 0.4f, 4},
        {8, 0.6f, 6}, {10, 0.2f, 2}, {11, 0.3f, 3}, {12, 0.2f, 4}};
    for (const auto& r : rows) {
        EXPECT_EQ(t[r.i], glm::vec2(r.t, r.t)) << "corner " << r.i;
        EXPECT_EQ(n[r.i], glm::vec3(r.n, 0, 0)) << "corner " << r.i;
    }
    EXPECT_EQ(v[10], glm::vec4(0, 2, 0, 1));
    EXPECT_EQ(v[15], glm::vec4(4, 4, 4, 1));
    EXPECT_EQ(v[17], glm::vec4(0, 2, 0, 1));
}

TEST_F(ObjReader, IndicesOutsideTheArraysNeverReadPastThem) {
    MeshHandler mesh;
    load(mesh, "v 1 0 0\nv 2 0 0\nv 3 0 0\nvt 0.5 0.5\n"
               "f 1 2 3\n"           // t and n 2, 3 missing, n 1 missing: entry 0
               "f 1 2 99\n"          // position out of range: no triangle
               "f 1/7/8 2/-5/-6 3\n" // bad t and n: entry 0
               "f -3 -2 -1\n"        // relative: the last three positions so far
               "f -4 1 2\n"          // before the first position: no triangle
               "f 0 0 0\n"           // index 0 is the value of index 0
               "v 9 9 9\nf -1 1 2\n");  // relative to the positions read so far
    FaceGroup& g = group(mesh, "default");
    ASSERT_EQ(g.vertexCount, 15u);
    const auto& v = *g.vertices;
    EXPECT_EQ((*g.texCoords)[0], glm::vec2(0.5f, 0.5f));
    EXPECT_EQ((*g.texCoords)[1], glm::vec2(1, 1));
    EXPECT_EQ((*g.texCoords)[3], glm::vec2(1, 1));
    EXPECT_EQ((*g.normals)[0], glm::vec3(1, 1, 1));
    EXPECT_EQ((*g.normals)[4], glm::vec3(1, 1, 1));
    EXPECT_EQ(v[6], glm::vec4(1, 0, 0, 1));
    EXPECT_EQ(v[8], glm::vec4(3, 0, 0, 1));
    EXPECT_EQ(v[9], glm::vec4(1, 1, 1, 1));
    EXPECT_EQ(v[12], glm::vec4(9, 9, 9, 1));
}

TEST_F(ObjReader, BoundsIncludeTheOriginAndGiveTheRadius) {
    MeshHandler a, b;
    load(a, "v -2 0 1\nv 3 4 -6\n");
    EXPECT_EQ(glm::vec3(a.minX, a.minY, a.minZ), glm::vec3(-2, 0, -6));
    EXPECT_EQ(glm::vec3(a.maxX, a.maxY, a.maxZ), glm::vec3(3, 4, 1));
    EXPECT_FLOAT_EQ(a.radius, 9.0f);
    load(b, "v 2 1 1\nv 5 2 2\n# v -100 0 0\n");
    EXPECT_EQ(glm::vec3(b.minX, b.minY, b.maxX), glm::vec3(0, 0, 5));
    EXPECT_FLOAT_EQ(b.radius, 7.5f);
}

TEST_F(ObjReader, NumbersAsStreamInputReadsThem) {
    MeshHandler mesh;
    load(mesh, "v\t+1.5e1 -.25 3.\r\n"  // tabs separate words, CR ends the line
               "v 1e60 -1e60 1e-60\n"  // beyond float: the largest float
               "v nan inf x\n"          // not numbers: 0
               "v 7\n"                  // missing words: 0
               "vt 0.125 -2 99\nusemtl a\r\nf 1/1 2 3\r\nf 4 1 1\n");
    FaceGroup& g = group(mesh, "a");
    ASSERT_EQ(g.vertexCount, 6u);
    const auto& v = *g.vertices;
    EXPECT_EQ(v[0], glm::vec4(15.0f, -0.25f, 3.0f, 1.0f));
    EXPECT_EQ(v[1], glm::vec4(FLT_MAX, -FLT_MAX, 0.0f, 1.0f));
    EXPECT_EQ(v[2], glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(v[3], glm::vec4(7, 0, 0, 1));
    EXPECT_EQ((*g.texCoords)[0], glm::vec2(0.125f, -2.0f));
}

TEST_F(ObjReader, WithoutMtllibFacesGoToDefaultThenToTheirMaterial) {
    MeshHandler mesh, other;
    load(mesh, kCube + "# a comment\n\no thing\ng part\ns off\nvp 1 2\nf 1 2 3\n"
                       "usemtl a\nf 1 1 1\nusemtl b\nf 2 2 2\nusemtl a\nf 3 3 3\n"
                       "usemtl\n"    // no name: stays with a
                       "f 4 4 4");   // no line end after the last face
    EXPECT_FALSE(mesh.hasMtl);
    ASSERT_EQ(mesh.getFaceGroupCount(), 3u);
    EXPECT_EQ(group(mesh, "default").vertexCount, 3u);
    EXPECT_EQ(group(mesh, "b").vertexCount, 3u);
    FaceGroup& a = group(mesh, "a");
    ASSERT_EQ(a.vertexCount, 9u);
    EXPECT_EQ((*a.vertices)[3], glm::vec4(0, 0, 3, 1));
    EXPECT_EQ((*a.vertices)[6], glm::vec4(4, 4, 4, 1));
    EXPECT_FALSE(a.hasTexture);

    // "default" exists even when empty; blank lines at the end add nothing.
    load(other, kCube + "usemtl x\nf 1 2 3\n\n\n");
    EXPECT_EQ(group(other, "default").vertexCount, 0u);
    EXPECT_EQ(group(other, "x").vertexCount, 3u);
}

TEST_F(ObjReader, MtlGivesColoursToTheMaterialsTheMeshUses) {
    dir.write("m.mtl",
              "Kd 9 9 9\n"  // before any newmtl: ignored
              "newmtl a\nKa 0.1 0.2 0.3\nKd 0.4 0.5 0.6\nKs 1 1 1\nKe 0 0 0.5\nNs 96\nd 0.5\n"
              "newmtl spare\nKd 7 7 7\nNs 1\nmap_Kd missing.png\n"
              "newmtl\nKd 6 6 6\n"
              "newmtl b\nKd 0.25\nNs\n");  // missing numbers read as 0
    MeshHandler mesh;
    load(mesh, kCube + "mtllib m.mtl\nf 1 2 3\nusemtl a\nf 1 2 3\nusemtl b\nf 1 2 3\n");
    EXPECT_TRUE(mesh.hasMtl);
    ASSERT_EQ(mesh.getFaceGroupCount(), 3u);
    EXPECT_FALSE(mesh.hasFaceGroup("spare"));
    FaceGroup &a = group(mesh, "a"), &b = group(mesh, "b"), &def = group(mesh, "default");
    EXPECT_EQ(def.vertexCount, 3u);
    EXPECT_EQ(def.Kd, glm::vec4(0.0f));
    EXPECT_EQ(a.Ka, glm::vec4(0.1f, 0.2f, 0.3f, 1.0f));
    EXPECT_EQ(a.Kd, glm::vec4(0.4f, 0.5f, 0.6f, 1.0f));
    EXPECT_EQ(a.Ks, glm::vec4(1, 1, 1, 1));
    EXPECT_EQ(a.Ke, glm::vec4(0, 0, 0.5f, 1));
    EXPECT_FLOAT_EQ(a.Ns, 96.0f);
    EXPECT_FLOAT_EQ(a.d, 0.5f);
    EXPECT_EQ(b.Kd, glm::vec4(0.25f, 0, 0, 1));
    EXPECT_EQ(b.Ns, 0.0f);
    EXPECT_FALSE(a.hasTexture || b.hasTexture);
}

TEST_F(ObjReader, WithoutFacesAheadOfAMaterialThereIsNoDefaultGroup) {
    MeshHandler mesh;
    load(mesh, kCube + "mtllib m.mtl\nusemtl a\nf 1 2 3\n", true);
    EXPECT_EQ(mesh.getFaceGroupCount(), 1u);
    EXPECT_FALSE(mesh.hasFaceGroup("default"));
    // The MTL file is missing: start values, and the message names its path.
    EXPECT_EQ(group(mesh, "a").Kd, glm::vec4(0.0f));
    EXPECT_FLOAT_EQ(group(mesh, "a").Ns, 10.0f);
    EXPECT_NE(logText().find("MTL file not found:\nm.mtl\n"), std::string::npos);
}

TEST_F(ObjReader, VerboseLoadReportsEachStep) {
    MeshHandler mesh;
    load(mesh, kCube + "usemtl a\nusemtl b\nusemtl a\nf 1 2 3\n", true);
    EXPECT_EQ(logText(),
              "\nMesh file found, loading...m.obj\n"
              "1st step: Get array sizes for preallocation...\n"
              "Vertices, Texture Coords, Normals, Faces, Materials:\n4\n6\n7\n1\n2\n"
              "No MTL File associated\n"
              "2nd step: fill the temporary arrays with the following data: vertices, normals and texture coords...\n"
              "3rd step: create faceGroups from materials and add them to facegrouplist, and insert the faces ...\n");
}

TEST_F(ObjReader, MeshFoundOneDirectoryUpReadsItsMtlBesideIt) {
    dir.write("meshes/car/car.obj", kCube + "mtllib car.mtl\nusemtl paint\nf 1 2 3\n");
    dir.write("meshes/car/car.mtl", "newmtl paint\nKd 0.5 0.5 0.5\n");
    dir.write("run/placeholder", "");
    std::filesystem::current_path(dir.path() + "/run");
    MeshHandler mesh;
    mesh.verbose = true;
    mesh.loadObj("meshes/car/car.obj");
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(group(mesh, "paint").Kd, glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
    Log::destroy();
    const std::string logText = dir.read("run/qelm.log");
    EXPECT_NE(logText.find("Mesh file found, loading...../meshes/car/car.obj\n"), std::string::npos);
    EXPECT_NE(logText.find("MTL file found, loading...../meshes/car/car.mtl\n"), std::string::npos);
}

TEST_F(ObjReader, OverLongLineEndsEveryPassAtTheSameLine) {
    MeshHandler mesh, other;
    load(mesh, kCube + "f 1 2 3" + std::string(254 - 7, ' ') + "\n"  // exactly 254: fine
                 "f 2 3 4\n"
                 "f 3 4 1" + std::string(300, ' ') + "\n"  // too long: read, then stop
                 "v 100 100 100\nusemtl late\nf 5 5 5\n#" + std::string(300, 'x') + "\n");
    EXPECT_EQ(mesh.maxX, 4.0f);  // the vertex after the long line is not read
    EXPECT_FALSE(mesh.hasFaceGroup("late"));
    FaceGroup& g = group(mesh, "default");
    ASSERT_EQ(g.vertexCount, 9u);
    EXPECT_EQ((*g.vertices)[6], glm::vec4(0, 0, 3, 1));
    // The same holds for the MTL file.
    dir.write("m.mtl", "newmtl a\nKd 1 0 0\n#" + std::string(260, '-') + "\nKd 0 1 0\n");
    load(other, kCube + "mtllib m.mtl\nusemtl a\nf 1 2 3\n");
    EXPECT_EQ(group(other, "a").Kd, glm::vec4(1, 0, 0, 1));
}
