#pragma once
#include <GL/glew.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TexturedQuad.h"

class MeshHandler;

namespace testsupport {

// Everything a drawing test needs around it: a temporary working directory
// with the program's shaders and a fresh log, a fresh resource registry and
// program-wide settings, and meshes and textures made in code. Needs the GL
// context (REQUIRE_GL_CONTEXT) before use. The window is 256x256.
class DrawingScene {
public:
    static constexpr int kSize = 256;

    DrawingScene();
    ~DrawingScene();
    DrawingScene(const DrawingScene&) = delete;
    DrawingScene& operator=(const DrawingScene&) = delete;

    // A 2x2 texture, left column `left`, right column `right` (nearest
    // filtering, so each half samples exactly its colour).
    GLuint makeTexture(Rgb left, Rgb right);
    // A mesh with the square of TexturedQuad in a group of that name; with a
    // texture when `texture` is not 0. Buffers made. Owned by the scene.
    MeshHandler* makeQuadMesh(const std::string& groupName, GLuint texture);

    // Clears the window's back buffer (colour and depth) to the colour.
    void clearWindow(float r = 0, float g = 0, float b = 0, float a = 0);
    // The whole back buffer (or another framebuffer), RGBA rows bottom first.
    std::vector<unsigned char> readAll(GLuint framebuffer = 0);
    // What was logged since the last call.
    std::string logText();

    TempDir dir;

private:
    std::vector<std::unique_ptr<MeshHandler>> meshes_;
    std::vector<GLuint> textures_;
};

} // namespace testsupport
