#include "tests/support/ArenaScene.h"

#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>
#include <typeinfo>

#include <gtest/gtest.h>

#include "decorations/Text.h"
#include "engine/Actor.h"
#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/Level.h"
#include "engine/ResourceRegistry.h"
#include "engine/Startup.h"

namespace fs = std::filesystem;

namespace testsupport {

namespace {

// The backend reads its configuration, which names the file, once per process.
const TempDir& waveDir() {
    const fs::path back = fs::current_path();
    static const TempDir dir;
    static const bool configured = [] {
        dir.write("alsoft.conf", "[general]\ndrivers = wave\nsample-type = int16\nfrequency = 22050\n"
                                 "channels = mono\n[wave]\nfile = " + dir.path() + "/out.wav\n");
        unsetenv("ALSOFT_DRIVERS");
        return setenv("ALSOFT_CONF", (dir.path() + "/alsoft.conf").c_str(), 1) == 0;
    }();
    fs::current_path(back);
    (void)configured;
    return dir;
}

} // namespace

void ArenaScene::SetUp() {
    LevelTestBase::SetUp();
    for (const char* data : {"meshes", "external", "shader"})
        fs::create_directory_symlink(sourcePath(data), dir->path() + "/" + data);
    writeConfig("width = 256\nheight = 256\np_1_up = key_up\np_1_down = key_down\np_1_left = key_left\n"
                "p_1_right = key_right\np_1_fire = key_rctrl\np_2_up = key_w\np_2_down = key_s\n"
                "p_2_left = key_a\np_2_right = key_d\np_2_fire = key_space\n");
    ResourceRegistry::resetForTests();
    resetGlobals();
    createOffscreenFramebuffer(256, 256);
    waveDir();
    alutInit(nullptr, nullptr);
    unsigned* sources[] = {&explodeSound, &getItemSound, &shootSound, &hitLoudSound, &hitSoftSound,
                           &menuSound, &winSound, &byeSound, &bgmSound};
    const float hz[] = {250, 330, 370, 415, 466, 2640, kWinHz, 294, 440};
    for (int i = 0; i < 9; ++i) {
        alGenSources(1, sources[i]);
        alSourcei(*sources[i], AL_BUFFER,
                  ALint(alutCreateBufferWaveform(ALUT_WAVEFORM_SINE, hz[i], 0.0f, 2.0f)));
    }
    alSourcei(bgmSound, AL_LOOPING, 1);
    alSourcePlay(bgmSound);
    while (glGetError() != GL_NO_ERROR) {}
}

void ArenaScene::TearDown() {
    alutExit();
    glDeleteFramebuffers(1, &offscreenFramebuffer);
    glDeleteTextures(1, &offscreenColorTexture);
    glDeleteRenderbuffers(1, &offscreenDepthBuffer);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    resetGlobals();
    ResourceRegistry::resetForTests();
    LevelTestBase::TearDown();
}

double ArenaScene::loudestTone(float hz) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // mixed in real time
    alutExit(); // writes the file's sizes
    const std::string bytes = waveDir().read("out.wav");
    const size_t at = bytes.find("data");
    std::vector<short> samples(at == std::string::npos ? 0 : (bytes.size() - at - 8) / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + at + 8, samples.size() * 2);
    // Goertzel's filter over each tenth of a second.
    const double c = 2.0 * std::cos(2.0 * M_PI * hz / 22050.0);
    double loudest = 0.0;
    for (size_t start = 0; start + 2205 <= samples.size(); start += 2205) {
        double s1 = 0.0, s2 = 0.0;
        for (size_t i = start; i < start + 2205; ++i) {
            const double s0 = samples[i] / 32768.0 + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        loudest = std::max(loudest, 2.0 * std::sqrt(std::max(s1 * s1 + s2 * s2 - c * s1 * s2, 0.0)) / 2205);
    }
    alutInit(nullptr, nullptr); // for TearDown
    return loudest;
}

void run(Engine::Level& level, int frames, float dt) {
    for (int i = 0; i < frames; ++i) level.update(dt);
}

bool shows(const Decorations::Text* text, const std::string& expected) {
    Decorations::Text probe;
    probe.setScale(text->scale.x);
    probe.setText(expected);
    return *probe.faceGroup->vertices == *text->faceGroup->vertices &&
           *probe.faceGroup->texCoords == *text->faceGroup->texCoords;
}

int count(const std::list<Engine::Actor*>& list, const std::string& type, const char* text) {
    int n = 0;
    for (Engine::Actor* actor : list) {
        const std::string name = typeid(*actor).name(); // ends in the class name and "E"
        auto* t = dynamic_cast<Decorations::Text*>(actor);
        n += name.size() > type.size() && name.compare(name.size() - type.size() - 1, type.size(), type) == 0 &&
             (!text || (t && shows(t, text)));
    }
    return n;
}

void expectPlaced(const std::list<Engine::Actor*>& actors, const std::vector<Placed>& table) {
    ASSERT_EQ(actors.size(), table.size());
    auto row = table.begin();
    for (Engine::Actor* actor : actors) {
        EXPECT_EQ(count({actor}, row->type), 1) << row->type << " at " << row - table.begin();
        EXPECT_EQ(actor->position, row->at) << row->type;
        EXPECT_FLOAT_EQ(row->scale ? row->scale : actor->scale.x, actor->scale.x) << row->type;
        ++row;
    }
}

} // namespace testsupport
