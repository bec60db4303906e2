#pragma once
// Program-wide state shared between start-up, the key commands, drawing and
// the game objects. Everything here lives for the whole run.
#include <vector>

namespace Engine { class Level; }
namespace Decorations { class Text; class Radar; class HelpScreen; }

// Sound sources (OpenAL names, 0 until start-up creates them).
extern unsigned int explodeSound;
extern unsigned int getItemSound;
extern unsigned int shootSound;
extern unsigned int hitLoudSound;
extern unsigned int hitSoftSound;
extern unsigned int menuSound;
extern unsigned int winSound;
extern unsigned int byeSound;
extern unsigned int bgmSound;

// Render settings, switched by the key commands.
extern bool helpShown;
extern bool fpsShown;
extern bool wireframeOn;
extern int textureFilterMode;
extern int mipmapMode;
extern bool useVBO;
extern bool frustumCullingOn;
extern bool transparencyOn;

// Off-screen drawing (the power-up view).
extern bool renderToOffscreen;
extern unsigned int offscreenFramebuffer;
extern unsigned int offscreenColorTexture;
extern unsigned int offscreenDepthBuffer;
// The framebuffer passed its completeness check at start-up. Until then, or
// when it failed, nothing binds or clears it (that would only raise an
// OpenGL error every frame): its actors draw into the window.
extern bool offscreenComplete;

// Level and head-up display.
extern Engine::Level* currentLevel;
extern Decorations::Text* fpsText;
extern Decorations::Radar* radar;
extern Decorations::HelpScreen* helpScreen;
extern float fpsTime;
extern int fpsFrames;

// Every texture name the texture loader created, in order of creation.
extern std::vector<unsigned int> textureNames;

// Puts every variable above back to its value before start-up (tests only).
void resetGlobals();
