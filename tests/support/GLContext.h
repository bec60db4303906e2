#pragma once
// One hidden window with an OpenGL context per test program, made on first
// use and kept until the program ends. Needs a display (run under Xvfb).

namespace testsupport {

// Opens the shared hidden window (default 256x256) and loads the GL entry
// points. Returns false when no window can be opened (no display).
bool ensureGLContext(int width = 256, int height = 256);

} // namespace testsupport

// Use at the top of a test that needs OpenGL.
#define REQUIRE_GL_CONTEXT()                                                        \
    do {                                                                           \
        if (!testsupport::ensureGLContext())                                       \
            FAIL() << "no OpenGL context: run the tests under Xvfb (xvfb-run -a)"; \
    } while (0)
