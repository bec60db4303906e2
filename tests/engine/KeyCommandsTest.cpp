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
#include "engine/Globals.h"
#include "engine/KeyCommands.h"
#include "platform/Glfw2.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/MessageRecordingLevel.h"

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
    return {min, mag, level1Width == 1 ? 1 : 0};
}

// Every setting the keys switch, with the OpenGL state that goes with it:
// wireframe, line polygons, filter mode, mipmap mode, buffers, culling,
// transparency, blending, help, frame rate.
std::vector<int> settings() {
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    return {wireframeOn, mode[0] == GL_LINE, textureFilterMode, mipmapMode, useVBO, frustumCullingOn,
            transparencyOn, glIsEnabled(GL_BLEND), helpShown, fpsShown};
}

class KeyCommandsTest : public testsupport::DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        // A menu sound that really plays (OpenAL's null device), so a test can
        // tell whether a key played it.
        static const bool started = setenv("ALSOFT_DRIVERS", "null", 0) == 0 && alutInit(nullptr, nullptr);
        ASSERT_TRUE(started) << "OpenAL null device could not start";
        alGenSources(1, &menuSound);
        alSourcei(menuSound, AL_BUFFER, ALint(alutCreateBufferWaveform(ALUT_WAVEFORM_SINE, 440.0f, 0.0f, 5.0f)));
        level = std::make_unique<testsupport::MessageRecordingLevel>();
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
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
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
    std::unique_ptr<testsupport::MessageRecordingLevel> level;
    GLuint textures[3] = {0, 0, 0};
};

TEST_F(KeyCommandsTest, TwoWaySettingsFlipAndTell) {
    const struct { int key; std::vector<int> flipped; const char* first; const char* second; } rows[] = {
        {glfw2::KEY_F3, {0, 1}, "Wireframe On", "Wireframe Off"}, {glfw2::KEY_F6, {4}, "VBO Off", "VBO On"},
        {glfw2::KEY_F8, {5}, "Frustum cull Off", "Frustum cull On"},
        {glfw2::KEY_F9, {6, 7}, "Transparency Off", "Transparency On"}};
    for (const auto& row : rows) {
        const std::vector<int> before = settings();
        std::vector<int> after = before;
        for (int i : row.flipped) after[i] = !after[i];
        EXPECT_EQ(press(row.key), Messages{row.first});
        EXPECT_EQ(settings(), after) << row.first;
        EXPECT_EQ(press(row.key), Messages{row.second});
        EXPECT_EQ(settings(), before) << row.second;
    }
}

TEST_F(KeyCommandsTest, OnlyPressesOfCommandKeysActAndWithoutALevelSilently) {
    // F1 and F2 without a help screen or an FPS text do nothing either.
    const std::vector<int> before = settings();
    keyCallback(glfw2::KEY_F3, glfw2::RELEASE);
    keyCallback(glfw2::KEY_F3, 2); // a repeat
    for (int key : {int(glfw2::KEY_F1), int(glfw2::KEY_F2), int(glfw2::KEY_F7), int(glfw2::KEY_F10),
                    int(glfw2::KEY_ESC), int('A'), -1, 100000})
        EXPECT_EQ(press(key, false), Messages{}) << key;
    EXPECT_EQ(settings(), before);
    // Before the arena exists the settings change and nothing is told.
    currentLevel = nullptr;
    for (int key : {glfw2::KEY_F1, glfw2::KEY_F2, glfw2::KEY_F3, glfw2::KEY_F4, glfw2::KEY_F5, glfw2::KEY_F6,
                    glfw2::KEY_F8, glfw2::KEY_F9})
        press(key, key > glfw2::KEY_F2);
    EXPECT_EQ(settings(), (std::vector<int>{1, 1, 2, 2, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(filtersOf(textureNames[0]), (Filters{GL_NEAREST, GL_NEAREST, 0}));
    EXPECT_EQ(level->messages, Messages{}) << "not current: told nothing";
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

TEST_F(KeyCommandsTest, HelpAndFpsKeysSwitchTheirElements) {
    Decorations::HelpScreen help;
    Decorations::Text fps;
    help.visible = false;
    helpScreen = &help;
    fpsText = &fps;
    for (bool shown : {true, false}) {
        EXPECT_EQ(press(glfw2::KEY_F1), Messages{});
        EXPECT_EQ(press(glfw2::KEY_F2), Messages{shown ? "FPS Off" : "FPS On"});
        EXPECT_EQ(std::vector<bool>({helpShown, help.visible, fpsShown, fps.visible}),
                  std::vector<bool>({shown, shown, !shown, !shown}));
    }
}

} // namespace
