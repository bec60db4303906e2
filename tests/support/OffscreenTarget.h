#pragma once
#include <GL/glew.h>

#include <array>

namespace testsupport {

// A framebuffer with an RGBA8 colour texture and a depth/stencil buffer, for
// tests that draw off the window. Leaves framebuffer 0 bound.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    GLuint framebuffer() const { return framebuffer_; }
    GLuint colorTexture() const { return color_; }
    bool complete() const { return complete_; }

private:
    GLuint framebuffer_ = 0, color_ = 0, depth_ = 0;
    bool complete_ = false;
};

// RGBA of one pixel of a framebuffer (0 = the window's back buffer).
std::array<int, 4> readPixel(GLuint framebuffer, int x, int y);

// Clears colour and depth of a framebuffer (0 = the window) to the colour.
void clearFramebuffer(GLuint framebuffer, float r, float g, float b, float a);

} // namespace testsupport
