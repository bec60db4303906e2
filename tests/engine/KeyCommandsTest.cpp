#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "decorations/HelpScreen.h"
#include "decorations/Text.h"
#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/KeyCommands.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/GLContext.h"
#include "tests/support/MessageRecordingLevel.h"
#include "tests/support/TempDir.h"

namespace {

using Messages = std::vector<std::string>;
using Filters = std::vector<GLint>; // min, mag, and 1 when mip level 1 exists

Filters filtersOf(GLuint name) {
    GLint min = 0, mag = 0, level1Width = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1Width);
    glBindTexture(GL_TEXTURE_2D, 0);
    return {min, mag, level1Width == 2 ? 1 : 0};
}

GLint glInt(GLenum what) {
    GLint values[2] = {-1, -1};
    glGetIntegerv(what, values);
    return values[0];
}

class KeyCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        resetGlobals();
        // A menu sound that really plays (OpenAL's null device), so a test can
        // tell whether a key played it.
        static const bool started = setenv("ALSOFT_DRIVERS", "null", 0) == 0 && alutInit(nullptr, nullptr);
        ASSERT_TRUE(started) << "OpenAL null device could not start";
        alGenSources(1, &menuSound);
        alSourcei(menuSound, AL_BUFFER, ALint(alutCreateBufferWaveform(ALUT_WAVEFORM_SINE, 440.0f, 0.0f, 5.0f)));
        level = std::make_unique<testsupport::MessageRecordingLevel>();
        currentLevel = level.get();
        glfw2::setKeyCallback(keyCallback);
        while (glGetError() != GL_NO_ERROR) {}
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glfw2::setKeyCallback(nullptr);
        glfw2::seam::reset();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
        for (unsigned int name : textures) glDeleteTextures(1, &name);
        alSourceStop(menuSound);
        level.reset();
        resetGlobals();
        Config::destroy();
        Log::destroy();
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
    // Two 4x4 bilinear textures in textureNames, and one outside it.
    void addTextures() {
        const unsigned char pixels[4 * 4 * 4] = {};
        for (int i = 0; i < 3; ++i) {
            GLuint name = 0;
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            textures.push_back(name);
            if (i < 2) textureNames.push_back(name);
        }
    }
    testsupport::TempDir dir;
    std::unique_ptr<testsupport::MessageRecordingLevel> level;
    std::vector<GLuint> textures;
};

TEST_F(KeyCommandsTest, TwoWaySettingsFlipAndTell) {
    const struct { int key; bool* flag; const char* first; const char* second; } rows[] = {
        {glfw2::KEY_F3, &wireframeOn, "Wireframe On", "Wireframe Off"},
        {glfw2::KEY_F6, &useVBO, "VBO Off", "VBO On"},
        {glfw2::KEY_F8, &frustumCullingOn, "Frustum cull Off", "Frustum cull On"},
        {glfw2::KEY_F9, &transparencyOn, "Transparency Off", "Transparency On"}};
    glEnable(GL_BLEND);
    for (const auto& row : rows) {
        const bool initial = *row.flag;
        EXPECT_EQ(press(row.key), Messages{row.first});
        EXPECT_EQ(*row.flag, !initial) << row.first;
        EXPECT_EQ(glInt(GL_POLYGON_MODE), row.key == glfw2::KEY_F3 ? GL_LINE : GL_FILL) << row.first;
        EXPECT_EQ(glIsEnabled(GL_BLEND), GLboolean(row.key != glfw2::KEY_F9)) << row.first;
        EXPECT_EQ(press(row.key), Messages{row.second});
        EXPECT_EQ(*row.flag, initial) << row.second;
        EXPECT_EQ(glInt(GL_POLYGON_MODE), GL_FILL) << row.second;
        EXPECT_TRUE(glIsEnabled(GL_BLEND)) << row.second;
    }
}

TEST_F(KeyCommandsTest, OnlyPressesOfCommandKeysAct) {
    // F1 and F2 without a help screen or an FPS text do nothing either, with
    // or without a level.
    for (Engine::Level* current : {static_cast<Engine::Level*>(level.get()), static_cast<Engine::Level*>(nullptr)}) {
        currentLevel = current;
        keyCallback(glfw2::KEY_F3, glfw2::RELEASE);
        keyCallback(glfw2::KEY_F3, 2); // a repeat
        for (int key : {int(glfw2::KEY_F1), int(glfw2::KEY_F2), int(glfw2::KEY_F7), int(glfw2::KEY_F10),
                        int(glfw2::KEY_ESC), int('A'), -1, 100000})
            EXPECT_EQ(press(key, false), Messages{}) << key;
    }
    EXPECT_EQ(glInt(GL_POLYGON_MODE), GL_FILL);
    EXPECT_TRUE(!wireframeOn && textureFilterMode == 1 && mipmapMode == 1 && useVBO && !helpShown && fpsShown);
}

TEST_F(KeyCommandsTest, TextureFilterAndMipmapCycles) {
    addTextures();
    // Presses the key and checks its text, both modes and every listed texture.
    const auto step = [&](int key, const char* text, int filter, int mipmap, const Filters& filters) {
        SCOPED_TRACE(text);
        EXPECT_EQ(press(key), Messages{text});
        EXPECT_EQ(textureFilterMode, filter);
        EXPECT_EQ(mipmapMode, mipmap);
        EXPECT_EQ(glInt(GL_TEXTURE_BINDING_2D), 0);
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

TEST_F(KeyCommandsTest, WithoutALevelSettingsChangeSilently) {
    currentLevel = nullptr;
    addTextures();
    for (int key : {glfw2::KEY_F3, glfw2::KEY_F4, glfw2::KEY_F5, glfw2::KEY_F6, glfw2::KEY_F8, glfw2::KEY_F9}) press(key);
    EXPECT_TRUE(wireframeOn);
    EXPECT_EQ(glInt(GL_POLYGON_MODE), GL_LINE);
    EXPECT_EQ(glm::ivec2(textureFilterMode, mipmapMode), glm::ivec2(2, 2));
    EXPECT_EQ(filtersOf(textureNames[0]), (Filters{GL_NEAREST, GL_NEAREST, 0}));
    EXPECT_FALSE(useVBO || frustumCullingOn || transparencyOn || glIsEnabled(GL_BLEND));
    EXPECT_EQ(level->messages, Messages{}) << "not current: told nothing";
}

TEST_F(KeyCommandsTest, HelpAndFpsKeysSwitchTheirElements) {
    Decorations::HelpScreen help;
    Decorations::Text fps;
    help.visible = false;
    helpScreen = &help;
    fpsText = &fps;
    for (bool shown : {true, false}) {
        EXPECT_EQ(press(glfw2::KEY_F1), Messages{});
        EXPECT_EQ(helpShown, shown);
        EXPECT_EQ(help.visible, shown);
        EXPECT_EQ(press(glfw2::KEY_F2), Messages{shown ? "FPS Off" : "FPS On"});
        EXPECT_EQ(fps.visible, !shown);
        EXPECT_EQ(fpsShown, !shown);
    }
    helpScreen = nullptr;
    fpsText = nullptr;
}

} // namespace
