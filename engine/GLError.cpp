#include "engine/GLError.h"

#include <GL/glew.h>

#include "engine/Log.h"

void checkGLError() {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;

    const char* text = "GL Error: Unknown error.\n";
    switch (error) {
    case GL_INVALID_ENUM: text = "GL Error: GL_INVALID_ENUM\n"; break;
    case GL_INVALID_VALUE: text = "GL Error: GL_INVALID_VALUE\n"; break;
    case GL_INVALID_OPERATION: text = "GL Error: GL_INVALID_OPERATION\n"; break;
    case GL_OUT_OF_MEMORY: text = "GL Error: GL_OUT_OF_MEMORY\n"; break;
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        text = "GL Error: GL_INVALID_FRAMEBUFFER_OPERATION\n";
        break;
    default: break;
    }
    logLine(text);
}
