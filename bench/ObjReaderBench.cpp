// Our OBJ/MTL reader against tinyobjloader on one generated file of about
// 15 MB (positions, texture coordinates, normals, four materials). The MTL
// file names no textures, so no OpenGL context is needed: the benchmark
// measures loadObj alone (buffer creation needs a context and is left out).
#include <benchmark/benchmark.h>

#include <tiny_obj_loader.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/MeshHandler.h"

namespace {

struct BenchFiles {
    std::string directory;
    std::string obj;
    double megabytes = 0.0;

    BenchFiles() {
        directory = "/tmp/vantorra-objbench-" + std::to_string(getpid());
        std::filesystem::create_directories(directory);
        obj = directory + "/terrain.obj";
        write();
        megabytes = double(std::filesystem::file_size(obj)) / (1024.0 * 1024.0);
    }
    ~BenchFiles() {
        std::error_code ec;
        std::filesystem::remove_all(directory, ec);
    }

    // A wavy grid: every vertex has its own texture coordinate and normal,
    // and the faces run through four materials in bands.
    void write() const {
        const int n = 320;
        FILE* f = std::fopen(obj.c_str(), "w");
        std::fprintf(f, "# generated terrain\nmtllib terrain.mtl\no terrain\n");
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const float x = float(i) * 0.25f - 40.0f, z = float(j) * 0.25f - 40.0f;
                std::fprintf(f, "v %f %f %f\n", x, std::sin(x * 0.3f) * std::cos(z * 0.2f) * 3.0f, z);
            }
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                std::fprintf(f, "vt %f %f\n", float(i) / float(n - 1), float(j) / float(n - 1));
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const float a = float(i) * 0.05f, b = float(j) * 0.03f;
                const float nx = std::sin(a) * 0.2f, nz = std::cos(b) * 0.2f;
                const float len = std::sqrt(nx * nx + 1.0f + nz * nz);
                std::fprintf(f, "vn %f %f %f\n", nx / len, 1.0f / len, nz / len);
            }
        const char* materials[] = {"grass", "rock", "sand", "snow"};
        for (int j = 0; j + 1 < n; ++j) {
            if (j % 16 == 0)
                std::fprintf(f, "usemtl %s\n", materials[(j / 16) % 4]);
            for (int i = 0; i + 1 < n; ++i) {
                const int a = j * n + i + 1, b = a + 1, c = a + n, d = c + 1;
                std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c, b, b, b);
                std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", b, b, b, c, c, c, d, d, d);
            }
        }
        std::fclose(f);
        FILE* m = std::fopen((directory + "/terrain.mtl").c_str(), "w");
        for (int k = 0; k < 4; ++k)
            std::fprintf(m, "newmtl %s\nKa 0.2 0.2 0.2\nKd 0.%d 0.5 0.3\nKs 0.1 0.1 0.1\nNs 20\nd 1\n\n",
                         materials[k], k + 3);
        std::fclose(m);
    }
};

const BenchFiles& files() {
    static BenchFiles instance;
    return instance;
}

std::size_t loadOurs(const std::string& path) {
    MeshHandler mesh;
    mesh.loadObj(path);
    std::size_t corners = 0;
    for (auto& entry : mesh.getFaceGroups())
        corners += entry.second->vertexCount;
    return corners;
}

std::size_t loadTiny(const std::string& path, const std::string& directory) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(),
                     (directory + "/").c_str(), true);
    std::size_t corners = 0;
    for (const auto& shape : shapes)
        corners += shape.mesh.indices.size();
    return corners;
}

void BM_OurObjReader(benchmark::State& state) {
    const BenchFiles& f = files();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadOurs(f.obj));
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(std::filesystem::file_size(f.obj)));
}

void BM_TinyObjLoader(benchmark::State& state) {
    const BenchFiles& f = files();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadTiny(f.obj, f.directory));
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(std::filesystem::file_size(f.obj)));
}

// Both readers in turn on the same file in every iteration: MB/s of each
// and their ratio (ours / tinyobjloader; at least 1 is the bar).
void BM_ReaderComparison(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const BenchFiles& f = files();
    double ours = 0.0, tiny = 0.0;
    std::size_t oursCorners = 0, tinyCorners = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        oursCorners = loadOurs(f.obj);
        const auto t1 = Clock::now();
        tinyCorners = loadTiny(f.obj, f.directory);
        const auto t2 = Clock::now();
        ours += std::chrono::duration<double>(t1 - t0).count();
        tiny += std::chrono::duration<double>(t2 - t1).count();
    }
    const double runs = double(state.iterations());
    state.counters["file_MB"] = f.megabytes;
    state.counters["ours_MBps"] = f.megabytes * runs / ours;
    state.counters["tinyobj_MBps"] = f.megabytes * runs / tiny;
    state.counters["ratio"] = tiny / ours;
    // Both must have read every triangle corner for the figures to mean anything.
    state.counters["same_corners"] = oursCorners == tinyCorners ? 1.0 : 0.0;
}

} // namespace

BENCHMARK(BM_OurObjReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyObjLoader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderComparison)->Unit(benchmark::kMillisecond)->Iterations(8);

BENCHMARK_MAIN();
