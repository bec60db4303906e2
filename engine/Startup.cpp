#include "engine/Startup.h"

#include <GL/glew.h>
#include <AL/al.h>
#include <AL/alut.h>
#include <malloc.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/Config.h"
#include "engine/FileLookup.h"
#include "engine/FrameTimer.h"
#include "engine/GLError.h"
#include "engine/Globals.h"
#include "engine/KeyCommands.h"
#include "engine/Level.h"
#include "engine/Log.h"
#include "engine/WindowSize.h"
#include "levels/FinalLevel.h"
#include "levels/LoadingScreenLevel.h"
#include "platform/Glfw2.h"

namespace {

// Errors of start-up's sound loading for the first frame's report: each
// file that gave no buffer with its error, or, when the library did not
// start, that error alone (no file could load then).
std::vector<std::pair<std::string, ALenum>> soundErrors;

bool stopRequested() {
    if (glfw2::getWindowParam(glfw2::OPENED) == 0) return true;
    if (glfw2::getKey(glfw2::KEY_ESC) == glfw2::PRESS) return true;
    return glfw2::getKey(glfw2::KEY_LALT) == glfw2::PRESS &&
           glfw2::getKey(glfw2::KEY_F4) == glfw2::PRESS;
}

void reportSoundError() {
    for (const auto& [file, error] : soundErrors) {
        log("ALUT error: ");
        logLine(alutGetErrorString(error) + (file.empty() ? "" : " (" + file + ")"));
    }
    soundErrors.clear();
    const ALenum error = alutGetError();
    if (error == ALUT_ERROR_NO_ERROR) return;
    log("ALUT error: ");
    logLine(alutGetErrorString(error));
}

} // namespace

void setUpMemory() {
    // Setting either value by hand also stops the library from moving them
    // up by itself after big blocks are freed. A free megabyte at the top of
    // the heap goes back to the system, so a burst of actors (an explosion
    // among many particles) leaves no lasting peak behind.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
}

void windowRequestSize(int width, int height, int& requestWidth, int& requestHeight) {
    requestWidth = width > 0 ? width : 0;
    requestHeight = height > 0 ? height : 0;
    if (requestWidth == 0 && requestHeight == 0) {
        requestWidth = 640;
        requestHeight = 480;
    } else if (requestWidth == 0) {
        requestWidth = requestHeight * 4 / 3;
    } else if (requestHeight == 0) {
        requestHeight = requestWidth * 3 / 4;
    }
    if (requestWidth <= 0) requestWidth = 1;
    if (requestHeight <= 0) requestHeight = 1;
}

bool openGameWindow(int width, int height) {
    glfw2::init();
    glfw2::openWindowHint(glfw2::WINDOW_NO_RESIZE, 1);
    const int mode = Config::getInt("fullscreen") == 1 ? glfw2::FULLSCREEN : glfw2::WINDOW;

    int requestWidth = 0, requestHeight = 0;
    windowRequestSize(width, height, requestWidth, requestHeight);
    capToDesktop(requestWidth, requestHeight);
    if (!glfw2::openWindow(requestWidth, requestHeight, 0, 0, 0, 0, 24, 8, mode)) {
        log("GLFW: Could not create window\n");
        glfw2::terminate();
        return false;
    }

    log("GLFW window created: ");
    // The size is reported as the configuration spells it.
    Log::write(std::string(mode == glfw2::FULLSCREEN ? "Fullscreen mode, " : "Window mode, ") +
               Config::getString("width") + "x" + Config::getString("height") + ")\n");
    useWindowSize(width, height);
    glfw2::setWindowTitle("Vantorra");
    return true;
}

void setUpOpenGL() {
    glewExperimental = GL_TRUE;
    glewInit();

    log("OpenGL Version ");
    const GLubyte* version = glGetString(GL_VERSION);
    log(version ? reinterpret_cast<const char*>(version) : "");
    log("\n");

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glfw2::setKeyCallback(keyCallback);
}

void loadSounds() {
    const bool started = alutInit(nullptr, nullptr) == AL_TRUE;
    alGetError();
    if (!started) soundErrors.emplace_back("", alutGetError());

    struct Sound {
        unsigned int* source;
        const char* file;
    };
    const Sound sounds[] = {
        {&explodeSound, "sounds/explode.wav"}, {&getItemSound, "sounds/getitem.wav"},
        {&shootSound, "sounds/shoot.wav"},     {&hitLoudSound, "sounds/hitloud.wav"},
        {&hitSoftSound, "sounds/hitsoft.wav"}, {&menuSound, "sounds/menu.wav"},
        {&winSound, "sounds/win.wav"},         {&byeSound, "sounds/bye.wav"},
        {&bgmSound, "sounds/bgm.wav"},
    };
    for (const Sound& sound : sounds) {
        const std::string path = findFile(sound.file);
        const ALuint buffer = alutCreateBufferFromFile(path.c_str());
        // The library keeps only its last error: take each one with its file.
        const ALenum error = buffer == AL_NONE ? alutGetError() : ALUT_ERROR_NO_ERROR;
        if (error != ALUT_ERROR_NO_ERROR && started)
            soundErrors.emplace_back(path.empty() ? sound.file : path, error);
        alGenSources(1, sound.source);
        alSourcei(*sound.source, AL_BUFFER, static_cast<ALint>(buffer));
        if (sound.source == &explodeSound) {
            alSourcef(explodeSound, AL_GAIN, 3.0f);
        } else if (sound.source == &bgmSound) {
            alSourcef(bgmSound, AL_GAIN, 0.5f);
            alSourcei(bgmSound, AL_LOOPING, 1);
        }
    }
}

void createOffscreenFramebuffer(int width, int height) {
    glGenTextures(1, &offscreenColorTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, offscreenColorTexture);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenRenderbuffers(1, &offscreenDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, offscreenDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &offscreenFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           offscreenColorTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              offscreenDepthBuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    offscreenComplete = status == GL_FRAMEBUFFER_COMPLETE;
    if (!offscreenComplete) {
        std::printf("FBO Error: %i\n", static_cast<int>(status));
        std::fflush(stdout);
    }
}

void loadArena() {
    // No update, stop test or error check between the loading frames; the
    // last one stays on screen while the arena loads its meshes.
    Engine::Level* loading = new Levels::LoadingScreenLevel();
    for (int frame = 0; frame < 22; ++frame) loading->render(useVBO);
    delete loading;
    currentLevel = new Levels::FinalLevel();
}

void runFrame(Engine::Level* level, float dt) {
    level->update(dt);

    if (offscreenComplete) {
        glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    level->render(useVBO);

    checkGLError();
    alGetError();
    reportSoundError();
}

void runFrameLoop(Engine::Level* level) {
    do {
        FrameTimer::update();
        runFrame(level, FrameTimer::getDelta());
    } while (!stopRequested());
}

void shutDown() {
    alSourcePlay(byeSound);
    alGetError();
    // Busy wait on purpose: the window is left alone while the sound plays.
    // A failing query (no sound device) ends the wait.
    for (;;) {
        ALint state = AL_STOPPED;
        alGetSourcei(byeSound, AL_SOURCE_STATE, &state);
        if (alGetError() != AL_NO_ERROR || state != AL_PLAYING) break;
    }

    glfw2::terminate();
    Config::destroy();
    Log::destroy();
    alutExit();
}
