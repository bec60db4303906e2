#pragma once
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"
#include "tests/support/TexturedQuad.h"

class MeshHandler;

namespace testsupport {

// Around a drawing test: a temporary working directory with the program's
// shaders and a fresh log, registry, configuration, faked devices and
// settings, meshes and textures made in code, all released afterwards.
// Needs the GL context; the window is 256x256.
class DrawingScene {
public:
    static constexpr int kSize = 256;

    DrawingScene();
    ~DrawingScene();
    DrawingScene(const DrawingScene&) = delete;
    DrawingScene& operator=(const DrawingScene&) = delete;

    // A 2x2 nearest-filtered texture: left column `left`, right column `right`.
    GLuint makeTexture(Rgb left, Rgb right);
    // A mesh of TexturedQuad's square in a group, textured unless `texture` is 0.
    MeshHandler* makeQuadMesh(const std::string& groupName, GLuint texture);

    // The program's off-screen framebuffer at the window's size, without the
    // start-up one's mipmaps: under llvmpipe, drawing into those now and then
    // reads back black when a process makes them again and again.
    GLuint makeOffscreenFramebuffer();
    // Clears colour and depth of a framebuffer (0: the window's back buffer).
    void clearWindow(float r = 0, float g = 0, float b = 0, float a = 0, GLuint framebuffer = 0);
    // The whole picture (RGBA rows, bottom first), or one pixel of it.
    std::vector<unsigned char> readAll(GLuint framebuffer = 0);
    std::array<int, 4> pixel(int x, int y, GLuint framebuffer = 0);
    // What was logged since the last call (into "qelm.log" of that directory).
    std::string logText(const std::string& where = "");

    TempDir dir;

private:
    std::vector<std::unique_ptr<MeshHandler>> meshes_;
    std::vector<GLuint> textures_;
};

// A fixture with one scene per test, which must leave no OpenGL error behind.
class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        scene = std::make_unique<DrawingScene>();
    }
    void TearDown() override {
        EXPECT_EQ(scene ? glGetError() : GLenum(GL_NO_ERROR), GLenum(GL_NO_ERROR));
        scene.reset();
    }
    std::unique_ptr<DrawingScene> scene;
};

} // namespace testsupport
