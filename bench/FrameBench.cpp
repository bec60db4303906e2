// Cost of one frame of the final arena (the main loop's frame: update, the
// off-screen clear, both halves and the HUD, the swap, the error checks)
// against an empty frame (clear and swap only), in a hidden 1024x768 window
// over the shipped data. Run under xvfb-run; pin with taskset to measure on
// fewer cores.
#include <GL/glew.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/Config.h"
#include "engine/Log.h"
#include "engine/Globals.h"
#include "engine/Startup.h"
#include "levels/FinalLevel.h"
#include "platform/Glfw2.h"

namespace fs = std::filesystem;

namespace {

fs::path workDir;

// One window, working directory and configuration for the whole run.
bool setUp() {
    static int state = 0;
    if (state != 0) return state == 1;
    state = -1;
    char templ[] = "/tmp/vantorra-bench-XXXXXX";
    setUpMemory(); // as the program runs
    if (!mkdtemp(templ)) return false;
    const fs::path dir(templ);
    workDir = dir;
    for (const char* data : {"shader", "meshes", "external"})
        fs::create_directory_symlink(std::string(VANTORRA_SOURCE_DIR) + "/" + data, dir / data);
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
    createOffscreenFramebuffer(1024, 768);
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
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// One frame of the main loop on the arena. Not inlined and outside the
// anonymous namespace, so that callgrind can count instructions inside it
// alone: --toggle-collect=arenaFrame (tools/perf/figures.sh).
__attribute__((noinline)) void arenaFrame(Engine::Level& level) {
    runFrame(&level, 1.0f / 60.0f);
    glFinish();
}

namespace {

// The arena's frames, cars standing at their start.
void BM_ArenaFrame(benchmark::State& state) {
    if (!setUp()) {
        state.SkipWithError("no window: run under xvfb-run");
        return;
    }
    Levels::FinalLevel level;
    // Settled, and every shader variant the arena needs compiled by the driver.
    for (int frame = 0; frame < 60; ++frame) runFrame(&level, 1.0f / 60.0f);
    for (auto _ : state) arenaFrame(level);
    state.counters["actors"] = static_cast<double>(level.actors.size());
}
// llvmpipe draws on threads of its own: the wall time is the frame time.
BENCHMARK(BM_ArenaFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
// A fixed number of frames, for instruction counts under callgrind (where
// a time-chosen count would be one frame).
BENCHMARK(BM_ArenaFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

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
