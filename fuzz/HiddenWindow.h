#pragma once
// A hidden window with an OpenGL context and the entry points loaded, for
// fuzz targets that reach the texture loader. Call it from
// LLVMFuzzerInitialize; it needs a display (run the target under xvfb-run).
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Glfw2.h"

namespace fuzzwork {

// Returns GL_MAX_TEXTURE_SIZE.
inline GLint openHiddenWindow(const char* target) {
    glfw2::seam::setHiddenWindows(true);
    if (!glfw2::init() || !glfw2::openWindow(64, 64, 0, 0, 0, 0, 24, 8, glfw2::WINDOW)) {
        std::fprintf(stderr, "%s needs a display: run it under xvfb-run\n", target);
        std::abort();
    }
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {}
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return largest;
}

} // namespace fuzzwork
