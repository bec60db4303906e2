#include "engine/KeyCommands.h"

#include <GL/glew.h>
#include <AL/al.h>

#include <string>

#include "decorations/HelpScreen.h"
#include "decorations/Text.h"
#include "engine/Globals.h"
#include "engine/Level.h"
#include "platform/Glfw2.h"

namespace {

// Before the first level is current (start-up frames) there is no one to
// tell; the setting still changes.
void tell(const std::string& text) {
    if (currentLevel) currentLevel->onMessage(text);
}

// One step of F4 or F5: every listed texture gets the filters (and its
// mipmaps), then the message, then no texture stays bound.
void applyTextureStep(GLint minFilter, GLint magFilter, bool buildMipmaps, const char* message) {
    for (unsigned int name : textureNames) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
        if (buildMipmaps) glGenerateMipmap(GL_TEXTURE_2D);
    }
    tell(message);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// A switch whose visible object is missing does nothing at all, so that the
// setting always says what the player sees.
bool toggleHelp() {
    if (!helpScreen) return false;
    helpShown = !helpShown;
    helpScreen->visible = helpShown;
    return true;
}

bool toggleFps() {
    if (!fpsText) return false;
    fpsShown = !fpsShown;
    fpsText->visible = fpsShown;
    tell(fpsShown ? "FPS On" : "FPS Off");
    return true;
}

void toggleWireframe() {
    wireframeOn = !wireframeOn;
    glPolygonMode(GL_FRONT_AND_BACK, wireframeOn ? GL_LINE : GL_FILL);
    tell(wireframeOn ? "Wireframe On" : "Wireframe Off");
}

void stepTextureFilter() {
    if (textureFilterMode == 1) {
        applyTextureStep(GL_NEAREST, GL_NEAREST, false, "TX NearestNeighbour");
        textureFilterMode = 2;
    } else {
        applyTextureStep(GL_LINEAR, GL_LINEAR, false, "TX Bilinear");
        textureFilterMode = 1;
    }
}

void stepMipmaps() {
    if (mipmapMode == 1) {
        applyTextureStep(GL_NEAREST, GL_NEAREST, false, "MIPMAP Off");
        mipmapMode = 2;
        textureFilterMode = 2;
    } else if (mipmapMode == 2) {
        applyTextureStep(GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, true, "MIP NearestNeighbour");
        mipmapMode = 3;
    } else {
        applyTextureStep(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, true, "MIPMAP Bilinear");
        mipmapMode = 1;
    }
}

void toggleVBO() {
    useVBO = !useVBO;
    tell(useVBO ? "VBO On" : "VBO Off");
}

void toggleFrustumCulling() {
    frustumCullingOn = !frustumCullingOn;
    tell(frustumCullingOn ? "Frustum cull On" : "Frustum cull Off");
}

void toggleTransparency() {
    transparencyOn = !transparencyOn;
    if (transparencyOn) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
    tell(transparencyOn ? "Transparency On" : "Transparency Off");
}

} // namespace

void keyCallback(int key, int action) {
    if (action != glfw2::PRESS) return;
    switch (key) {
    case glfw2::KEY_F1:
        if (!toggleHelp()) return;
        break;
    case glfw2::KEY_F2:
        if (!toggleFps()) return;
        break;
    case glfw2::KEY_F3: toggleWireframe(); break;
    case glfw2::KEY_F4: stepTextureFilter(); break;
    case glfw2::KEY_F5: stepMipmaps(); break;
    case glfw2::KEY_F6: toggleVBO(); break;
    case glfw2::KEY_F8: toggleFrustumCulling(); break;
    case glfw2::KEY_F9: toggleTransparency(); break;
    default: return;
    }
    alSourcePlay(menuSound);
}
