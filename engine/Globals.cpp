#include "engine/Globals.h"

unsigned int explodeSound = 0;
unsigned int getItemSound = 0;
unsigned int shootSound = 0;
unsigned int hitLoudSound = 0;
unsigned int hitSoftSound = 0;
unsigned int menuSound = 0;
unsigned int winSound = 0;
unsigned int byeSound = 0;
unsigned int bgmSound = 0;

bool helpShown = false;
bool fpsShown = true;
bool wireframeOn = false;
int textureFilterMode = 1;
int mipmapMode = 1;
bool useVBO = true;
bool frustumCullingOn = true;
bool transparencyOn = true;

bool renderToOffscreen = false;
unsigned int offscreenFramebuffer = 0;
unsigned int offscreenColorTexture = 0;
unsigned int offscreenDepthBuffer = 0;
bool offscreenComplete = false;

Engine::Level* currentLevel = nullptr;
Decorations::Text* fpsText = nullptr;
Decorations::Radar* radar = nullptr;
Decorations::HelpScreen* helpScreen = nullptr;
float fpsTime = 0.0f;
int fpsFrames = 0;

std::vector<unsigned int> textureNames;

void resetGlobals() {
    explodeSound = getItemSound = shootSound = hitLoudSound = hitSoftSound = 0;
    menuSound = winSound = byeSound = bgmSound = 0;
    helpShown = false;
    fpsShown = true;
    wireframeOn = false;
    textureFilterMode = 1;
    mipmapMode = 1;
    useVBO = true;
    frustumCullingOn = true;
    transparencyOn = true;
    renderToOffscreen = false;
    offscreenFramebuffer = offscreenColorTexture = offscreenDepthBuffer = 0;
    offscreenComplete = false;
    currentLevel = nullptr;
    fpsText = nullptr;
    radar = nullptr;
    helpScreen = nullptr;
    fpsTime = 0.0f;
    fpsFrames = 0;
    textureNames.clear();
}
