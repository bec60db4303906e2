// Cost of one frame of the plain-actor level (update and drawing, a few
// hundred falling boxes) against an empty frame (clear and swap only), in a
// hidden 1024x768 window. Run under xvfb-run.
#include <GL/glew.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/Config.h"
#include "engine/Log.h"
#include "levels/PlainActorLevel.h"
#include "platform/Glfw2.h"

namespace fs = std::filesystem;

namespace {

void copySource(const std::string& rel, const fs::path& to) {
    std::ifstream in(std::string(VANTORRA_SOURCE_DIR) + "/" + rel);
    fs::create_directories((to / rel).parent_path());
    std::ofstream out(to / rel);
    out << in.rdbuf();
}

// A unit cube (-1..1) with normals, as an OBJ file and its MTL.
void writeCube(const fs::path& dir) {
    fs::create_directories(dir);
    std::ofstream(dir / "cube.mtl") << "newmtl grey\nKa 0.2 0.2 0.2\nKd 0.6 0.6 0.7\n";
    std::ofstream obj(dir / "cube.obj");
    obj << "mtllib cube.mtl\n";
    for (int i = 0; i < 8; ++i)
        obj << "v " << ((i & 1) ? 1 : -1) << ' ' << ((i & 2) ? 1 : -1) << ' '
            << ((i & 4) ? 1 : -1) << '\n';
    obj << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    obj << "vn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\nvn 0 0 1\nvn 0 0 -1\nusemtl grey\n";
    const int faces[6][5] = {{2, 4, 8, 6, 1}, {1, 5, 7, 3, 2}, {3, 7, 8, 4, 3},
                             {1, 2, 6, 5, 4}, {5, 6, 8, 7, 5}, {1, 3, 4, 2, 6}};
    for (const auto& f : faces) {
        obj << "f " << f[0] << "/1/" << f[4] << ' ' << f[1] << "/2/" << f[4] << ' ' << f[2]
            << "/3/" << f[4] << '\n';
        obj << "f " << f[0] << "/1/" << f[4] << ' ' << f[2] << "/3/" << f[4] << ' ' << f[3]
            << "/4/" << f[4] << '\n';
    }
}

fs::path workDir;

// One window, working directory and configuration for the whole run.
bool setUp() {
    static int state = 0;
    if (state != 0) return state == 1;
    state = -1;
    char templ[] = "/tmp/vantorra-bench-XXXXXX";
    if (!mkdtemp(templ)) return false;
    const fs::path dir(templ);
    workDir = dir;
    copySource("shader/simple.vert", dir);
    copySource("shader/simple.frag", dir);
    writeCube(dir / "meshes");
    std::ofstream(dir / "qelm.conf") << "width = 1024\nheight = 768\n";
    fs::current_path(dir);
    if (!glfw2::init()) return false;
    glfw2::seam::setHiddenWindows(true);
    if (!glfw2::openWindow(1024, 768, 0, 0, 0, 0, 24, 8, glfw2::WINDOW)) return false;
    glewExperimental = GL_TRUE;
    glewInit();
    glGetError();
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    state = 1;
    return true;
}

void BM_EmptyFrame(benchmark::State& state) {
    if (!setUp()) {
        state.SkipWithError("no window: run under xvfb-run");
        return;
    }
    for (auto _ : state) {
        glfw2::swapBuffers();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond);

void BM_PlainActorFrame(benchmark::State& state) {
    if (!setUp()) {
        state.SkipWithError("no window: run under xvfb-run");
        return;
    }
    Levels::PlainActorLevel level("meshes/cube.obj", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        level.update(1.0f / 60.0f);
        level.render(true);
        glFinish();
    }
    state.counters["actors"] = static_cast<double>(level.actors.size());
}
BENCHMARK(BM_PlainActorFrame)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Config::destroy();
    Log::destroy();
    glfw2::terminate();
    if (!workDir.empty()) {
        std::error_code ec;
        fs::current_path("/", ec);
        fs::remove_all(workDir, ec);
    }
    return 0;
}
