#include "tests/support/DrawingScene.h"

#include <cstdio>

#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "platform/Glfw2.h"

namespace testsupport {

DrawingScene::DrawingScene() {
    ResourceRegistry::resetForTests();
    Config::destroy();
    Log::destroy();
    resetGlobals();
    installShaders();
    glViewport(0, 0, kSize, kSize);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
}

DrawingScene::~DrawingScene() {
    meshes_.clear();
    glDeleteFramebuffers(1, &offscreenFramebuffer);
    glDeleteRenderbuffers(1, &offscreenDepthBuffer);
    textures_.push_back(offscreenColorTexture);
    glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
    ResourceRegistry::resetForTests();
    Config::destroy();
    Log::destroy();
    resetGlobals();
    glfw2::seam::reset();
    glfw2::seam::setHiddenWindows(true);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
    while (glGetError() != GL_NO_ERROR) {}
}

GLuint DrawingScene::makeTexture(Rgb left, Rgb right) {
    const unsigned char pixels[2 * 2 * 4] = {left.r, left.g, left.b, 255, right.r, right.g, right.b, 255,
                                             left.r, left.g, left.b, 255, right.r, right.g, right.b, 255};
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
    textures_.push_back(id);
    return id;
}

MeshHandler* DrawingScene::makeQuadMesh(const std::string& groupName, GLuint texture) {
    meshes_.push_back(std::make_unique<MeshHandler>());
    MeshHandler* mesh = meshes_.back().get();
    mesh->radius = 1.5f;
    addQuadGroup(*mesh, groupName);
    FaceGroup* group = mesh->getFaceGroup(groupName);
    group->hasTexture = texture != 0;
    group->textureId = texture;
    mesh->createVBOs();
    return mesh;
}

GLuint DrawingScene::makeOffscreenFramebuffer() {
    glGenTextures(1, &offscreenColorTexture);
    glBindTexture(GL_TEXTURE_2D, offscreenColorTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &offscreenDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, offscreenDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kSize, kSize);
    glGenFramebuffers(1, &offscreenFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreenFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, offscreenColorTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, offscreenDepthBuffer);
    offscreenComplete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    clearWindow(0, 0, 0, 0, offscreenFramebuffer);
    return offscreenFramebuffer;
}

void DrawingScene::clearWindow(float r, float g, float b, float a, GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

namespace {
void readPixels(GLuint framebuffer, int x, int y, int w, int h, unsigned char* out) {
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}
} // namespace

std::vector<unsigned char> DrawingScene::readAll(GLuint framebuffer) {
    std::vector<unsigned char> pixels(kSize * kSize * 4);
    readPixels(framebuffer, 0, 0, kSize, kSize, pixels.data());
    return pixels;
}

std::array<int, 4> DrawingScene::pixel(int x, int y, GLuint framebuffer) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    readPixels(framebuffer, x, y, 1, 1, rgba);
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

std::string DrawingScene::logText(const std::string& where) {
    Log::destroy();
    const std::string text = dir.read(where + "qelm.log");
    std::remove((dir.path() + "/" + where + "qelm.log").c_str());
    return text;
}

} // namespace testsupport
