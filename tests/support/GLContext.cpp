#include "tests/support/GLContext.h"

#include <GL/glew.h>

#include "platform/Glfw2.h"

namespace testsupport {

bool ensureGLContext(int width, int height) {
    static int state = 0; // 0 not tried, 1 ready, -1 failed
    if (state != 0) return state == 1;
    state = -1;
    if (!glfw2::init()) return false;
    glfw2::seam::setHiddenWindows(true);
    if (!glfw2::openWindow(width, height, 0, 0, 0, 0, 24, 8, glfw2::WINDOW)) return false;
    glewExperimental = GL_TRUE;
    glewInit();
    glGetError(); // glewInit may leave GL_INVALID_ENUM behind
    state = 1;
    return true;
}

} // namespace testsupport
