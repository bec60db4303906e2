#include "engine/WindowSize.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/Config.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"

namespace {

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// The largest side OpenGL renders to: the smallest of its limits that it
// reports (a limit it does not report reads 0 and is left out).
int openGLLimit() {
    GLint viewport[2] = {0, 0}, texture = 0, renderbuffer = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    int limit = 0;
    for (GLint value : {viewport[0], viewport[1], texture, renderbuffer})
        if (value > 0) limit = limit == 0 ? value : std::min(limit, int(value));
    return limit;
}

} // namespace

void capToDesktop(int& width, int& height) {
    glfw2::VidMode desktop{};
    glfw2::getDesktopMode(&desktop);
    if (desktop.width > 0) width = std::min(width, desktop.width);
    if (desktop.height > 0) height = std::min(height, desktop.height);
}

void useWindowSize(int configuredWidth, int configuredHeight) {
    int width = 0, height = 0;
    glfw2::getWindowSize(&width, &height);
    const int limit = openGLLimit();
    if (limit > 0) {
        width = std::min(width, limit);
        height = std::min(height, limit);
    }
    const std::string note = windowSizeNote(configuredWidth, configuredHeight, width, height);
    if (note.empty()) return;
    logLine(note);
    Config::setInt("width", width);
    Config::setInt("height", height);
}

std::string windowSizeNote(int configuredWidth, int configuredHeight, int usedWidth,
                           int usedHeight) {
    const std::string used = ", using " + sizeText(usedWidth, usedHeight);
    const bool badWidth = configuredWidth <= 0, badHeight = configuredHeight <= 0;
    if (badWidth || badHeight) {
        const std::string keys = badWidth && badHeight ? "\"width\" and \"height\" are"
                                 : badWidth            ? "\"width\" is"
                                                       : "\"height\" is";
        return "Window size: " + keys + " missing or not a positive number in the configuration" +
               used;
    }
    if (configuredWidth == usedWidth && configuredHeight == usedHeight) return "";
    const std::string configured = sizeText(configuredWidth, configuredHeight);
    if (configuredWidth > usedWidth || configuredHeight > usedHeight)
        return "Window size: " + configured + " is more than the screen or OpenGL allows" + used;
    return "Window size: the window opened larger than " + configured + used;
}
