// Start-up pieces: the window size, the memory set-up, the off-screen
// framebuffer, the frame loop, the OpenGL error report and the key commands.
#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "decorations/HelpScreen.h"
#include "decorations/Text.h"
#include "engine/GLError.h"
#include "engine/Globals.h"
#include "engine/KeyCommands.h"
#include "engine/Level.h"
#include "engine/Log.h"
#include "engine/Startup.h"
#include "engine/WindowSize.h"
#include "platform/Glfw2.h"
#include "tests/support/DrawingScene.h"

namespace {

// OpenAL on its null device, started once for the program: sounds really play.
bool soundStarted() {
    static const bool started = setenv("ALSOFT_DRIVERS", "null", 0) == 0 && alutInit(nullptr, nullptr);
    return started;
}

TEST(WindowSize, MissingSidesFollowTheOldLibraryAndTheNoteSaysWhy) {
    // {asked w, h, given w, h}; a side of 0 is never given.
    const int cases[][4] = {{800, 600, 800, 600}, {0, 0, 640, 480}, {-3, -7, 640, 480},
                            {800, 0, 800, 600}, {0, 300, 400, 300}, {1, 0, 1, 1}};
    for (const auto& c : cases) {
        int w = 0, h = 0;
        windowRequestSize(c[0], c[1], w, h);
        EXPECT_EQ(glm::ivec2(w, h), glm::ivec2(c[2], c[3])) << c[0] << "x" << c[1];
    }
    // Sizes the test X server never gives (real runs are checked end to end).
    const struct { int w, h, usedW, usedH; const char* note; } notes[] = {
        {800, 600, 800, 600, ""},
        {800, 0, 800, 600, "Window size: \"height\" is missing or not a positive number in the configuration, using 800x600"},
        {2000, 300, 1024, 300, "Window size: 2000x300 is more than the screen or OpenGL allows, using 1024x300"},
        {800, 600, 1024, 768, "Window size: the window opened larger than 800x600, using 1024x768"}};
    for (const auto& c : notes) EXPECT_EQ(windowSizeNote(c.w, c.h, c.usedW, c.usedH), c.note) << c.w << "x" << c.h;
}

TEST(SetUpMemory, BigBlocksAreMappedEvenAfterOneWasFreed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's";
#endif
    setUpMemory();
    // Left alone, the library serves the second block from the heap once the first is freed.
    for (int round = 0; round < 2; ++round) {
        const size_t mappedBefore = mallinfo2().hblks;
        // Written through volatile, so the compiler keeps the allocation.
        auto* block = static_cast<volatile char*>(std::malloc(400 * 1024));
        block[0] = 1;
        EXPECT_EQ(mallinfo2().hblks, mappedBefore + 1) << "round " << round;
        std::free(const_cast<char*>(block));
    }
}

using StartupGLTest = testsupport::DrawingTest;

// An empty level that counts its frames and keeps the texts sent to it.
struct RecordingLevel : Engine::Level {
    void onUpdate(float dt) override { ++updates, lastDt = dt; }
    void onMessage(std::string message) override { messages.push_back(message); }
    std::vector<std::string> take() { return std::exchange(messages, {}); }
    int updates = 0;
    float lastDt = -1.0f;
    std::vector<std::string> messages;
};

TEST_F(StartupGLTest, FrameLoopStopsAndReportsErrors) {
    ASSERT_TRUE(soundStarted());
    alutCreateBufferFromFile("no-such-sound.wav"); // leaves an ALUT error
    // A framebuffer without a size: told on standard output only, and left alone by the frames.
    log("");
    testing::internal::CaptureStdout();
    createOffscreenFramebuffer(0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FBO Error: " + std::to_string(GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT) + "\n");
    EXPECT_FALSE(offscreenComplete);
    EXPECT_EQ(scene->dir.read("qelm.log"), "");

    // Escape already down: the loop body runs once, and the stop test ends it.
    RecordingLevel level;
    glfw2::seam::setKey(glfw2::KEY_ESC, true);
    runFrameLoop(&level);
    EXPECT_EQ(level.updates, 1);
    EXPECT_TRUE(level.lastDt >= 0.0f && level.lastDt < 0.5f) << "the first step of a fresh timer is short";
    EXPECT_EQ(scene->dir.read("qelm.log").find("GL Error"), std::string::npos) << scene->dir.read("qelm.log");
    EXPECT_NE(scene->dir.read("qelm.log").find("ALUT error: "), std::string::npos) << scene->dir.read("qelm.log");
    // Alt held with F4 stops as well; an error of the frame is reported.
    glfw2::seam::setKey(glfw2::KEY_ESC, false);
    glfw2::seam::setKey(glfw2::KEY_LALT, true);
    glfw2::seam::setKey(glfw2::KEY_F4, true);
    glEnable(0xFFFF);
    runFrameLoop(&level);
    EXPECT_EQ(level.updates, 2);
    EXPECT_NE(scene->dir.read("qelm.log").find("GL Error: GL_INVALID_ENUM\n\n"), std::string::npos) << scene->dir.read("qelm.log");
}

TEST_F(StartupGLTest, EachOpenGLErrorIsNamed) {
    createOffscreenFramebuffer(0, 0); // incomplete
    const struct { const char* what; void (*provoke)(); const char* text; } cases[] = {
        {"no error", [] { log(""); }, ""}, // log("") opens the file: empty, not missing
        {"enable of no capability", [] { glEnable(0xFFFF); }, "GL Error: GL_INVALID_ENUM\n\n"},
        {"negative viewport", [] { glViewport(0, 0, -1, -1); }, "GL Error: GL_INVALID_VALUE\n\n"},
        {"glEnd without glBegin", [] { glEnd(); }, "GL Error: GL_INVALID_OPERATION\n\n"},
        {"clear of an incomplete framebuffer", [] {
             glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
             glClear(GL_COLOR_BUFFER_BIT);
         }, "GL Error: GL_INVALID_FRAMEBUFFER_OPERATION\n\n"},
        {"matrix stack underflow", [] { glMatrixMode(GL_MODELVIEW), glPopMatrix(); }, "GL Error: Unknown error.\n\n"}};
    for (const auto& c : cases) {
        c.provoke();
        checkGLError();
        EXPECT_EQ(scene->logText(), c.text) << c.what;
    }
}

using Messages = std::vector<std::string>;
using Filters = std::vector<GLint>; // min, mag, and 1 when mip level 1 exists

Filters filtersOf(GLuint name) {
    GLint min = 0, mag = 0, level1Width = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1Width);
    glBindTexture(GL_TEXTURE_2D, 0);
    return {min, mag, level1Width == 1 ? 1 : 0};
}

// What the keys switch: wireframe, line polygons, filter and mipmap modes, buffers, culling,
// transparency, blending, help, frame rate, and whether the help and frame-rate elements show.
std::vector<int> settings() {
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    return {wireframeOn, mode[0] == GL_LINE, textureFilterMode, mipmapMode, useVBO, frustumCullingOn, transparencyOn,
            glIsEnabled(GL_BLEND), helpShown, fpsShown, helpScreen && helpScreen->visible, fpsText && fpsText->visible};
}

class KeyCommandsTest : public testsupport::DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        // A menu sound that really plays, so a test can tell whether a key played it.
        ASSERT_TRUE(soundStarted()) << "OpenAL null device could not start";
        alGenSources(1, &menuSound);
        alSourcei(menuSound, AL_BUFFER, ALint(alutCreateBufferWaveform(ALUT_WAVEFORM_SINE, 440.0f, 0.0f, 5.0f)));
        level = std::make_unique<RecordingLevel>();
        currentLevel = level.get();
        glfw2::setKeyCallback(keyCallback);
        glEnable(GL_BLEND);
        // Two bilinear textures in textureNames, and one outside it.
        for (GLuint& name : textures) {
            name = scene->makeTexture({0, 0, 0}, {0, 0, 0});
            glBindTexture(GL_TEXTURE_2D, name);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        textureNames = {textures[0], textures[1]};
    }
    void TearDown() override {
        glfw2::setKeyCallback(nullptr);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        alSourceStop(menuSound);
        level.reset();
        DrawingTest::TearDown();
    }
    // Presses a key as the window would and returns the level's new texts,
    // checking that the menu sound started exactly when expected.
    Messages press(int key, bool expectSound = true) {
        alSourceStop(menuSound);
        glfw2::seam::sendKey(key, glfw2::PRESS);
        glfw2::seam::sendKey(key, glfw2::RELEASE);
        ALint state = AL_STOPPED;
        alGetSourcei(menuSound, AL_SOURCE_STATE, &state);
        EXPECT_EQ(state == AL_PLAYING, expectSound) << "key " << key;
        return level->take();
    }
    std::unique_ptr<RecordingLevel> level;
    GLuint textures[3] = {0, 0, 0};
};

TEST_F(KeyCommandsTest, PressesOfTwoWaySettingsFlipAndTell) {
    // Releases, repeats, other keys, and F1 and F2 without their elements do nothing.
    const std::vector<int> start = settings();
    keyCallback(glfw2::KEY_F3, glfw2::RELEASE);
    keyCallback(glfw2::KEY_F3, 2); // a repeat
    for (int key : {int(glfw2::KEY_F1), int(glfw2::KEY_F2), int(glfw2::KEY_F7), int(glfw2::KEY_F10),
                    int(glfw2::KEY_ESC), int('A'), -1, 100000})
        EXPECT_EQ(press(key, false), Messages{}) << key;
    EXPECT_EQ(settings(), start);
    Decorations::HelpScreen help;
    Decorations::Text fps;
    help.visible = false;
    helpScreen = &help;
    fpsText = &fps;
    const struct { int key; std::vector<int> flipped; Messages first, second; } rows[] = {
        {glfw2::KEY_F1, {8, 10}, {}, {}}, {glfw2::KEY_F2, {9, 11}, {"FPS Off"}, {"FPS On"}},
        {glfw2::KEY_F3, {0, 1}, {"Wireframe On"}, {"Wireframe Off"}}, {glfw2::KEY_F6, {4}, {"VBO Off"}, {"VBO On"}},
        {glfw2::KEY_F8, {5}, {"Frustum cull Off"}, {"Frustum cull On"}},
        {glfw2::KEY_F9, {6, 7}, {"Transparency Off"}, {"Transparency On"}}};
    for (const auto& row : rows) {
        const std::vector<int> before = settings();
        std::vector<int> after = before;
        for (int i : row.flipped) after[i] = !after[i];
        EXPECT_EQ(press(row.key), row.first);
        EXPECT_EQ(settings(), after) << row.key;
        EXPECT_EQ(press(row.key), row.second);
        EXPECT_EQ(settings(), before) << row.key;
    }
}

TEST_F(KeyCommandsTest, TextureFilterAndMipmapCycles) {
    // Presses the key and checks its text, both modes and every listed texture.
    const auto step = [&](int key, const char* text, int filter, int mipmap, const Filters& filters) {
        SCOPED_TRACE(text);
        EXPECT_EQ(press(key), Messages{text});
        EXPECT_EQ(glm::ivec2(textureFilterMode, mipmapMode), glm::ivec2(filter, mipmap));
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        for (GLuint t : textureNames) EXPECT_EQ(filtersOf(t), filters);
    };
    step(glfw2::KEY_F4, "TX NearestNeighbour", 2, 1, {GL_NEAREST, GL_NEAREST, 0});
    step(glfw2::KEY_F4, "TX Bilinear", 1, 1, {GL_LINEAR, GL_LINEAR, 0});
    step(glfw2::KEY_F5, "MIPMAP Off", 2, 2, {GL_NEAREST, GL_NEAREST, 0});
    step(glfw2::KEY_F5, "MIP NearestNeighbour", 2, 3, {GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, 1});
    step(glfw2::KEY_F5, "MIPMAP Bilinear", 2, 1, {GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1});
    // F5's first step left the filter command at "nearest", so F4 goes back
    // to plain bilinear and drops the mipmapped minification.
    step(glfw2::KEY_F4, "TX Bilinear", 1, 1, {GL_LINEAR, GL_LINEAR, 1});
    step(glfw2::KEY_F5, "MIPMAP Off", 2, 2, {GL_NEAREST, GL_NEAREST, 1});
    step(glfw2::KEY_F4, "TX Bilinear", 1, 2, {GL_LINEAR, GL_LINEAR, 1});
    EXPECT_EQ(filtersOf(textures[2]), (Filters{GL_LINEAR, GL_LINEAR, 0})) << "not listed: untouched";
}

} // namespace
