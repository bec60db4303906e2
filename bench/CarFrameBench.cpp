// Cost of one frame's update with two cars driving on the table: input
// mapping, the cars' updates, both chase cameras and the physics step (no
// drawing). Needs a GL context for the actors' shader program: run under
// xvfb-run.
#include <GL/glew.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "decorations/WoodTable.h"
#include "engine/Config.h"
#include "engine/Level.h"
#include "engine/Log.h"
#include "game/Car.h"
#include "game/VehicleCam.h"
#include "platform/Glfw2.h"

namespace fs = std::filesystem;

namespace {

fs::path workDir;

// A hidden window and a working directory with the data and both players'
// keys, once for the whole run.
bool setUp() {
    static int state = 0;
    if (state != 0) return state == 1;
    state = -1;
    char templ[] = "/tmp/vantorra-carbench-XXXXXX";
    if (!mkdtemp(templ)) return false;
    workDir = templ;
    for (const char* data : {"meshes", "shader"})
        fs::create_directory_symlink(fs::path(VANTORRA_SOURCE_DIR) / data, workDir / data);
    std::ofstream(workDir / "qelm.conf") << "width = 1024\nheight = 768\n"
                                            "p_1_up = key_up\np_1_left = key_left\n"
                                            "p_2_up = key_w\np_2_right = key_d\n";
    fs::current_path(workDir);
    if (!glfw2::init()) return false;
    glfw2::seam::setHiddenWindows(true);
    if (!glfw2::openWindow(1024, 768, 0, 0, 0, 0, 24, 8, glfw2::WINDOW)) return false;
    glewExperimental = GL_TRUE;
    glewInit();
    glGetError();
    state = 1;
    return true;
}

void BM_TwoCarsDrivingUpdate(benchmark::State& state) {
    if (!setUp()) {
        state.SkipWithError("no window: run under xvfb-run");
        return;
    }
    Engine::Level level;
    auto* table = new Decorations::WoodTable();
    table->setPosition(glm::vec3(0, -1, 0));
    level.addActor(table);
    const struct {
        const char* mesh;
        glm::vec3 at;
        float angle;
        int y;
    } players[] = {{"meshes/car/car.obj", {90, 2, -90}, -45.0f, 384},
                   {"meshes/car/car_green.obj", {-90, 2, 90}, 135.0f, 0}};
    for (const auto& p : players) {
        auto* car = new Vehicles::Car(p.mesh);
        car->setPosition(p.at);
        car->rotationAngle = p.angle;
        level.addVehicle(car);
        level.addCamera(new Engine::VehicleCam(0, p.y, 1024, 384, car));
    }
    // Both drive circles: player 1 to the left, player 2 to the right.
    for (int key : {int(glfw2::KEY_UP), int(glfw2::KEY_LEFT), int('W'), int('D')})
        glfw2::seam::setKey(key, true);
    for (int i = 0; i < 120; ++i) level.update(1.0f / 60.0f); // on its wheels and moving
    for (auto _ : state) level.update(1.0f / 60.0f);
    glfw2::seam::reset();
}
BENCHMARK(BM_TwoCarsDrivingUpdate)->Unit(benchmark::kMicrosecond);

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
