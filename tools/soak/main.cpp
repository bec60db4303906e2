// soak: a long simulated match on the final arena.
//
//   soak [--seconds S] [--warmup S] [--seed N] [--size WxH] [--lives N]
//        [--data DIR] [--keep] [--shots DIR [--shot-every S]]
//
// Starts as the program does (hidden window, OpenGL set-up, the nine sounds,
// the off-screen framebuffer, the loading screen, the final arena), then runs
// the main loop's frame at the fixed step of 1/60 s for S simulated seconds
// (default 3600) while both players press random controls (seed N, default
// 1). It works in a fresh directory holding links to the shipped data of DIR
// (default the source tree) and its own "qelm.conf" (the window size, default
// 1024x768, and the shipped key bindings); --keep leaves it in place.
// --lives starts both players with N lives instead of 5, so that a short
// run reaches the win screens (and loads what they show) early.
// --shots saves the window's picture every S simulated seconds (default 10)
// as DIR/shot-FRAME.png, read from the back buffer just before the swap,
// so that drawing changes can be compared picture by picture on the same
// match.
//
// Reports, on lines starting with "soak:": frames, start-up time step by
// step, lives lost, items picked up and used, explosions, peak RSS, RSS,
// heap and log growth from the end of the warm-up (default a quarter of the
// run, at most 300 s) to the end, frames with a NaN or infinite transform,
// and a hash of the final state (equal for equal seeds). Exit status: 0 when the bar holds (no non-finite
// transform, RSS growth under 1 MB after warm-up), 1 when it does not, 2 when
// the run could not start.
#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <FreeImage.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/Actor.h"
#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/Startup.h"
#include "levels/FinalLevel.h"
#include "platform/Glfw2.h"
#include "tools/soak/ProcessMemory.h"
#include "tools/soak/RandomDriver.h"
#include "tools/soak/SoakWatch.h"
#include "tools/soak/StartupTimer.h"

namespace fs = std::filesystem;

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr long kGrowthBarKB = 1024;

struct Options {
    double seconds = 3600.0;
    double warmup = -1.0; // default: a quarter of the run, at most 300 s
    unsigned seed = 1;
    int lives = 0; // 0: the level's own
    int width = 1024, height = 768;
    std::string data = VANTORRA_SOURCE_DIR;
    bool keep = false;
    std::string shots;
    double shotEvery = 10.0;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--keep") {
            o.keep = true;
            continue;
        }
        if (!value) return false;
        ++i;
        if (arg == "--seconds") o.seconds = std::atof(value);
        else if (arg == "--warmup") o.warmup = std::atof(value);
        else if (arg == "--lives") o.lives = std::atoi(value);
        else if (arg == "--seed") o.seed = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
        else if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &o.width, &o.height) != 2) return false;
        } else if (arg == "--data") o.data = value;
        else if (arg == "--shots") {
            std::error_code ec;
            o.shots = fs::absolute(value, ec).string();
            if (ec) return false;
        }
        else if (arg == "--shot-every") o.shotEvery = std::atof(value);
        else return false;
    }
    if (o.warmup < 0.0) o.warmup = std::min(o.seconds / 4.0, 300.0);
    return o.seconds > 0.0 && o.warmup < o.seconds && o.lives >= 0 && o.width > 0 && o.height > 0 &&
           o.shotEvery > 0.0;
}

// The picture the next swap shows goes to this file (empty: none).
std::string pendingShot;
int shotWidth = 0, shotHeight = 0;

// Start-up's clock while the program starts, null afterwards.
StartupTimer* startupTimer = nullptr;

// Called right before each buffer swap.
void beforeSwap() {
    if (startupTimer) startupTimer->swapped();
    if (pendingShot.empty()) return;
    // The last draw may have left the off-screen framebuffer bound.
    GLint bound = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    FIBITMAP* image = FreeImage_Allocate(shotWidth, shotHeight, 24);
    glPixelStorei(GL_PACK_ALIGNMENT, 4); // FreeImage pads its rows to 4 bytes
    glReadPixels(0, 0, shotWidth, shotHeight, GL_BGR, GL_UNSIGNED_BYTE, FreeImage_GetBits(image));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(bound));
    if (!FreeImage_Save(FIF_PNG, image, pendingShot.c_str(), 0))
        std::fprintf(stderr, "soak: cannot write %s\n", pendingShot.c_str());
    FreeImage_Unload(image);
    pendingShot.clear();
}

// A fresh working directory with the shipped data and our configuration.
bool makeWorkDir(const Options& o, fs::path& dir) {
    char templ[] = "/tmp/vantorra-soak-XXXXXX";
    if (!mkdtemp(templ)) return false;
    dir = templ;
    std::error_code ec;
    for (const char* data : {"shader", "meshes", "sounds", "external"}) {
        const fs::path target = fs::absolute(fs::path(o.data) / data, ec);
        if (!ec) fs::create_directory_symlink(target, dir / data, ec);
        if (ec) return false;
    }
    std::ofstream(dir / "qelm.conf")
        << "width = " << o.width << "\nheight = " << o.height << "\n"
        << "p_1_up = key_up\np_1_down = key_down\np_1_left = key_left\np_1_right = key_right\n"
           "p_1_fire = key_rctrl\np_2_up = key_w\np_2_down = key_s\np_2_left = key_a\n"
           "p_2_right = key_d\np_2_fire = key_space\n";
    fs::current_path(dir, ec);
    return !ec;
}

// Start-up as the program's main does it, with a hidden window, its steps
// timed.
bool startUp(StartupTimer& timer) {
    setUpMemory();
    const int width = Config::getInt("width");
    const int height = Config::getInt("height");
    log("Starting Game ...\n");
    glfw2::seam::setHiddenWindows(true);
    glfw2::seam::setBeforeSwap(beforeSwap);
    if (!openGameWindow(width, height)) return false;
    timer.mark("window");
    setUpOpenGL();
    timer.mark("OpenGL");
    loadSounds();
    timer.mark("sounds");
    createOffscreenFramebuffer(Config::getInt("width"), Config::getInt("height"));
    timer.mark("framebuffer");
    loadArena();
    timer.mark("arena");
    alSourcePlay(bgmSound);
    return dynamic_cast<Levels::FinalLevel*>(currentLevel) != nullptr;
}

long fileSize(const char* name) {
    std::error_code ec;
    const auto size = fs::file_size(name, ec);
    return ec ? 0 : static_cast<long>(size);
}

// Lines the arena writes for each life lost, per player.
void countLivesLost(long& player1, long& player2) {
    std::ifstream in("qelm.log");
    std::string line;
    while (std::getline(in, line)) {
        player1 += line.rfind("ArenaLevel: Player 1 has ", 0) == 0;
        player2 += line.rfind("ArenaLevel: Player 2 has ", 0) == 0;
    }
}

// FNV-1a over every actor's model matrix and the lives.
std::uint64_t stateHash(const Engine::ArenaLevel& level) {
    std::uint64_t hash = 1469598103934665603ull;
    auto add = [&hash](const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    for (const Engine::Actor* actor : level.actors) add(&actor->modelMatrix, sizeof(glm::mat4));
    for (int lives : level.lives) add(&lives, sizeof lives);
    return hash;
}

} // namespace

int main(int argc, char** argv) {
    StartupTimer timer;
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: soak [--seconds S] [--warmup S] [--seed N] [--size WxH] "
                             "[--lives N] [--data DIR] [--keep] [--shots DIR [--shot-every S]]\n");
        return 2;
    }
    fs::path dir;
    if (!makeWorkDir(o, dir)) {
        std::fprintf(stderr, "soak: cannot prepare a working directory from %s\n", o.data.c_str());
        return 2;
    }
    setenv("ALSOFT_DRIVERS", "null", 0); // no sound card needed
    std::srand(o.seed);                  // the game's own draws
    startupTimer = &timer;
    if (!startUp(timer)) {
        std::fprintf(stderr, "soak: the arena could not start (no display?)\n");
        return 2;
    }

    auto& level = *static_cast<Levels::FinalLevel*>(currentLevel);
    if (o.lives > 0)
        for (int i = 0; i < 2 && i < static_cast<int>(level.lives.size()); ++i)
            level.lives[i] = level.lastLives[i] = o.lives;
    RandomDriver driver(o.seed, level);
    SoakWatch watch(level);
    const long frames = static_cast<long>(o.seconds * 60.0 + 0.5);
    const long warmupFrames = static_cast<long>(o.warmup * 60.0 + 0.5);
    const long shotFrames = std::max(1L, static_cast<long>(o.shotEvery * 60.0 + 0.5));
    if (!o.shots.empty()) {
        std::error_code ec;
        fs::create_directories(o.shots, ec);
        glfw2::getWindowSize(&shotWidth, &shotHeight);
    }
    long warmRSS = 0, warmLog = 0, highestRSS = 0;
    size_t warmHeap = 0;
    auto takeWarm = [&] {
        warmRSS = ProcessMemory::settledResidentKB();
        warmHeap = mallinfo2().uordblks / 1024;
        warmLog = fileSize("qelm.log");
    };
    takeWarm(); // a warm-up of 0 frames starts here
    const auto start = std::chrono::steady_clock::now();
    for (long frame = 1; frame <= frames; ++frame) {
        driver.step(kStep);
        if (!o.shots.empty() && frame % shotFrames == 0) {
            char name[64];
            std::snprintf(name, sizeof name, "/shot-%06ld.png", frame);
            pendingShot = o.shots + name;
        }
        runFrame(currentLevel, kStep);
        if (frame == 1) {
            timer.mark("first frame");
            startupTimer = nullptr;
        }
        watch.afterFrame(frame);
        if (frame == warmupFrames) takeWarm();
        if (frame > warmupFrames && frame % 60 == 0)
            highestRSS = std::max(highestRSS, ProcessMemory::residentKB());
        if (frame % 3600 == 0) {
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr,
                         "soak: %ld min simulated, %.0f s wall, RSS %ld kB, heap in use %zu kB, "
                         "log %ld bytes\n",
                         frame / 3600, wall, ProcessMemory::residentKB(), mallinfo2().uordblks / 1024,
                         fileSize("qelm.log"));
        }
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long endRSS = ProcessMemory::settledResidentKB();
    const long endLog = fileSize("qelm.log");
    long lost1 = 0, lost2 = 0;
    countLivesLost(lost1, lost2);
    const long growth = endRSS - warmRSS;

    std::printf("soak: seed %u, window %dx%d, %ld frames (%.0f s simulated at 1/60 s), %.0f s wall "
                "(%.2f ms a frame)\n",
                o.seed, o.width, o.height, frames, frames / 60.0, wall, 1000.0 * wall / frames);
    std::printf("soak: %s\n", timer.report(22).c_str());
    std::printf("soak: lives lost %ld (player 1: %ld, player 2: %ld)\n", lost1 + lost2, lost1, lost2);
    std::printf("soak: items picked up %ld (rockets %ld, mines %ld, power-ups %ld), used %ld\n",
                watch.pickedUp, watch.rockets, watch.mines, watch.powerUps, watch.used);
    std::printf("soak: explosions %ld\n", watch.explosions);
    std::printf("soak: RSS peak %ld kB; after warm-up (%.0f s) %ld kB, highest since %ld kB, "
                "at the end %ld kB: growth %ld kB\n",
                ProcessMemory::peakResidentKB(), o.warmup, warmRSS, highestRSS, endRSS, growth);
    // Memory the allocator hands out, against what the process holds: a
    // steady heap under a growing RSS is fragmentation, not a leak.
    std::printf("soak: heap in use after warm-up %zu kB, at the end %zu kB\n", warmHeap,
                mallinfo2().uordblks / 1024);
    std::printf("soak: log %ld bytes; after warm-up %ld bytes: growth %ld bytes\n", endLog, warmLog,
                endLog - warmLog);
    std::printf("soak: non-finite transforms in %ld frames%s%s\n", watch.badFrames,
                watch.firstBad.empty() ? "" : ", first: ", watch.firstBad.c_str());
    std::printf("soak: state hash %016llx\n", static_cast<unsigned long long>(stateHash(level)));
    const bool held = watch.badFrames == 0 && growth < kGrowthBarKB;
    std::printf("soak: bar %s\n", held ? "held" : "MISSED");
    std::fflush(stdout);

    delete currentLevel;
    currentLevel = nullptr;
    glfw2::terminate();
    Config::destroy();
    Log::destroy();
    alutExit();
    if (!o.keep) {
        std::error_code ec;
        fs::current_path("/", ec);
        fs::remove_all(dir, ec);
    } else {
        std::fprintf(stderr, "soak: kept %s\n", dir.c_str());
    }
    return held ? 0 : 1;
}
