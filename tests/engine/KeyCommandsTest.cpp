#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/KeyCommands.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/GLContext.h"
#include "tests/support/MessageRecordingLevel.h"
#include "tests/support/TempDir.h"

#if __has_include("decorations/HelpScreen.h") && __has_include("decorations/Text.h")
#include "decorations/HelpScreen.h"
#include "decorations/Text.h"
#define HAVE_HUD_DECORATIONS 1
#endif

namespace {

using Messages = std::vector<std::string>;

// A menu sound that really plays (OpenAL's null device), so a test can tell
// whether a key played it.
unsigned int makeMenuSound() {
    static bool started = false;
    if (!started) {
        setenv("ALSOFT_DRIVERS", "null", 0);
        started = alutInit(nullptr, nullptr) == AL_TRUE;
    }
    if (!started) return 0;
    const ALuint buffer = alutCreateBufferWaveform(ALUT_WAVEFORM_SINE, 440.0f, 0.0f, 5.0f);
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    return source;
}

bool menuSoundPlaying() {
    ALint state = AL_STOPPED;
    alGetSourcei(menuSound, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

GLuint makeTexture() {
    const unsigned char pixels[4 * 4 * 4] = {};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

struct Filters {
    GLint min, mag;
    bool operator==(const Filters& o) const { return min == o.min && mag == o.mag; }
};
std::ostream& operator<<(std::ostream& os, const Filters& f) {
    return os << "min 0x" << std::hex << f.min << " mag 0x" << f.mag << std::dec;
}

Filters filtersOf(GLuint name) {
    Filters f{0, 0};
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &f.min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &f.mag);
    glBindTexture(GL_TEXTURE_2D, 0);
    return f;
}

bool hasMipmaps(GLuint name) {
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    return width == 2;
}

GLint boundTexture() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint polygonMode() {
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    return modes[0];
}

class KeyCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        resetGlobals();
        menuSound = makeMenuSound();
        level = new testsupport::MessageRecordingLevel();
        currentLevel = level;
        glfw2::setKeyCallback(keyCallback);
        while (glGetError() != GL_NO_ERROR) {}
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        glfw2::setKeyCallback(nullptr);
        glfw2::seam::reset();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
        for (unsigned int name : textures) glDeleteTextures(1, &name);
        if (menuSound) alSourceStop(menuSound);
        delete level;
        resetGlobals();
        Config::destroy();
        Log::destroy();
    }

    // Presses a key as the window would and returns the level's new texts.
    // Checks that the menu sound was started exactly when expected.
    Messages press(int key, bool expectSound = true) {
        if (menuSound) alSourceStop(menuSound);
        glfw2::seam::sendKey(key, glfw2::PRESS);
        glfw2::seam::sendKey(key, glfw2::RELEASE);
        if (menuSound) {
            EXPECT_EQ(menuSoundPlaying(), expectSound) << "key " << key;
        }
        return level->take();
    }

    void addTextures(int count) {
        for (int i = 0; i < count; ++i) {
            textures.push_back(makeTexture());
            textureNames.push_back(textures.back());
        }
    }

    testsupport::TempDir dir;
    testsupport::MessageRecordingLevel* level = nullptr;
    std::vector<GLuint> textures;
};

TEST_F(KeyCommandsTest, MenuSoundIsAvailable) {
    // The sound checks of the other tests are only as good as this.
    ASSERT_NE(menuSound, 0u) << "OpenAL null device could not start";
}

TEST_F(KeyCommandsTest, TwoWaySettingsFlipAndTell) {
    EXPECT_EQ(press(glfw2::KEY_F3), Messages{"Wireframe On"});
    EXPECT_TRUE(wireframeOn);
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_EQ(press(glfw2::KEY_F3), Messages{"Wireframe Off"});
    EXPECT_FALSE(wireframeOn);
    EXPECT_EQ(polygonMode(), GL_FILL);

    EXPECT_EQ(press(glfw2::KEY_F6), Messages{"VBO Off"});
    EXPECT_FALSE(useVBO);
    EXPECT_EQ(press(glfw2::KEY_F6), Messages{"VBO On"});
    EXPECT_TRUE(useVBO);

    EXPECT_EQ(press(glfw2::KEY_F8), Messages{"Frustum cull Off"});
    EXPECT_FALSE(frustumCullingOn);
    EXPECT_EQ(press(glfw2::KEY_F8), Messages{"Frustum cull On"});
    EXPECT_TRUE(frustumCullingOn);

    glEnable(GL_BLEND);
    EXPECT_EQ(press(glfw2::KEY_F9), Messages{"Transparency Off"});
    EXPECT_FALSE(transparencyOn);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(press(glfw2::KEY_F9), Messages{"Transparency On"});
    EXPECT_TRUE(transparencyOn);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(KeyCommandsTest, OnlyPressesOfCommandKeysAct) {
    // Releases, F7, other keys and actions other than a press do nothing.
    keyCallback(glfw2::KEY_F3, glfw2::RELEASE);
    keyCallback(glfw2::KEY_F3, 2);
    for (int key : {int(glfw2::KEY_F7), int(glfw2::KEY_F10), int(glfw2::KEY_ESC), int('A'), -1, 100000})
        EXPECT_EQ(press(key, false), Messages{}) << key;
    EXPECT_FALSE(wireframeOn);
    EXPECT_EQ(polygonMode(), GL_FILL);
    EXPECT_EQ(textureFilterMode, 1);
    EXPECT_EQ(mipmapMode, 1);
    EXPECT_TRUE(useVBO);
    EXPECT_FALSE(helpShown);
    EXPECT_TRUE(fpsShown);
}

TEST_F(KeyCommandsTest, TextureFilterCycle) {
    addTextures(2);
    const GLuint outside = makeTexture();  // not in the list: never changed
    textures.push_back(outside);
    const Filters linear{GL_LINEAR, GL_LINEAR}, nearest{GL_NEAREST, GL_NEAREST};

    glBindTexture(GL_TEXTURE_2D, outside);
    EXPECT_EQ(press(glfw2::KEY_F4), Messages{"TX NearestNeighbour"});
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_EQ(textureFilterMode, 2);
    for (GLuint t : textureNames) EXPECT_EQ(filtersOf(t), nearest);
    EXPECT_FALSE(hasMipmaps(textureNames[0]));

    EXPECT_EQ(press(glfw2::KEY_F4), Messages{"TX Bilinear"});
    EXPECT_EQ(textureFilterMode, 1);
    for (GLuint t : textureNames) EXPECT_EQ(filtersOf(t), linear);
    EXPECT_EQ(mipmapMode, 1);  // F4 never touches the mipmap step
    EXPECT_EQ(filtersOf(outside), linear);
}

TEST_F(KeyCommandsTest, MipmapCycleAndItsEffectOnTheFilterCommand) {
    addTextures(2);
    const Filters nearest{GL_NEAREST, GL_NEAREST};

    EXPECT_EQ(press(glfw2::KEY_F5), Messages{"MIPMAP Off"});
    EXPECT_EQ(mipmapMode, 2);
    EXPECT_EQ(textureFilterMode, 2);
    for (GLuint t : textureNames) {
        EXPECT_EQ(filtersOf(t), nearest);
        EXPECT_FALSE(hasMipmaps(t));
    }

    EXPECT_EQ(press(glfw2::KEY_F5), Messages{"MIP NearestNeighbour"});
    EXPECT_EQ(mipmapMode, 3);
    EXPECT_EQ(boundTexture(), 0);
    for (GLuint t : textureNames) {
        EXPECT_EQ(filtersOf(t), (Filters{GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST}));
        EXPECT_TRUE(hasMipmaps(t));
    }

    EXPECT_EQ(press(glfw2::KEY_F5), Messages{"MIPMAP Bilinear"});
    EXPECT_EQ(mipmapMode, 1);
    for (GLuint t : textureNames)
        EXPECT_EQ(filtersOf(t), (Filters{GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR}));

    // F5's first step left the filter command at "nearest", so F4 goes back
    // to plain bilinear and drops the mipmapped minification.
    EXPECT_EQ(press(glfw2::KEY_F4), Messages{"TX Bilinear"});
    EXPECT_EQ(textureFilterMode, 1);
    EXPECT_EQ(mipmapMode, 1);
    for (GLuint t : textureNames) EXPECT_EQ(filtersOf(t), (Filters{GL_LINEAR, GL_LINEAR}));

    // The fourth press is the first again.
    EXPECT_EQ(press(glfw2::KEY_F5), Messages{"MIPMAP Off"});
    for (GLuint t : textureNames) EXPECT_EQ(filtersOf(t), nearest);
    EXPECT_EQ(press(glfw2::KEY_F4), Messages{"TX Bilinear"});
}

TEST_F(KeyCommandsTest, TextureCommandsWithNoTextures) {
    EXPECT_EQ(press(glfw2::KEY_F4), Messages{"TX NearestNeighbour"});
    EXPECT_EQ(press(glfw2::KEY_F5), Messages{"MIPMAP Off"});
    EXPECT_EQ(press(glfw2::KEY_F5), Messages{"MIP NearestNeighbour"});
    EXPECT_EQ(textureFilterMode, 2);
    EXPECT_EQ(mipmapMode, 3);
}

TEST_F(KeyCommandsTest, WithoutALevelSettingsChangeSilently) {
    currentLevel = nullptr;
    addTextures(1);
    press(glfw2::KEY_F3);
    press(glfw2::KEY_F4);
    press(glfw2::KEY_F5);
    press(glfw2::KEY_F6);
    press(glfw2::KEY_F8);
    press(glfw2::KEY_F9);
    EXPECT_TRUE(wireframeOn);
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_EQ(textureFilterMode, 2);
    EXPECT_EQ(mipmapMode, 2);
    EXPECT_EQ(filtersOf(textureNames[0]), (Filters{GL_NEAREST, GL_NEAREST}));
    EXPECT_FALSE(useVBO);
    EXPECT_FALSE(frustumCullingOn);
    EXPECT_FALSE(transparencyOn);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(level->messages, Messages{});  // not current: told nothing
}

TEST_F(KeyCommandsTest, HelpAndFpsKeysWithoutTheirElementsDoNothing) {
    for (Engine::Level* current : {static_cast<Engine::Level*>(level), static_cast<Engine::Level*>(nullptr)}) {
        currentLevel = current;
        EXPECT_EQ(press(glfw2::KEY_F1, false), Messages{});
        EXPECT_EQ(press(glfw2::KEY_F2, false), Messages{});
        EXPECT_FALSE(helpShown);
        EXPECT_TRUE(fpsShown);
    }
}

#ifdef HAVE_HUD_DECORATIONS
TEST_F(KeyCommandsTest, HelpAndFpsKeysSwitchTheirElements) {
    Decorations::HelpScreen help;
    Decorations::Text fps;
    help.visible = false;
    helpScreen = &help;
    fpsText = &fps;

    EXPECT_EQ(press(glfw2::KEY_F1), Messages{});
    EXPECT_TRUE(helpShown);
    EXPECT_TRUE(help.visible);
    EXPECT_EQ(press(glfw2::KEY_F1), Messages{});
    EXPECT_FALSE(helpShown);
    EXPECT_FALSE(help.visible);

    EXPECT_EQ(press(glfw2::KEY_F2), Messages{"FPS Off"});
    EXPECT_FALSE(fpsShown);
    EXPECT_FALSE(fps.visible);
    EXPECT_EQ(press(glfw2::KEY_F2), Messages{"FPS On"});
    EXPECT_TRUE(fpsShown);
    EXPECT_TRUE(fps.visible);
    helpScreen = nullptr;
    fpsText = nullptr;
}
#endif

} // namespace
