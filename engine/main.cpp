// Vantorra: start-up, the frame loop and shut-down.
#include <GL/glew.h>
#include <AL/al.h>

#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/Startup.h"

int main(int, char**, char**) {
    setUpMemory();
    // The first query loads the configuration, whose message opens the log.
    const int width = Config::getInt("width");
    const int height = Config::getInt("height");
    log("Starting Game ...\n");

    if (!openGameWindow(width, height)) return -1;
    setUpOpenGL();
    loadSounds();
    // The size the window really has (the configured one when it was usable).
    createOffscreenFramebuffer(Config::getInt("width"), Config::getInt("height"));

    // The arena stays current until the program ends.
    loadArena();
    alSourcePlay(bgmSound);

    runFrameLoop(currentLevel);
    shutDown();
    return 0;
}
