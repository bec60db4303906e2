#include "engine/GLInfoLog.h"

#include <GL/glew.h>

namespace {

template <typename GetIv, typename GetLog>
std::string infoLog(GLuint object, GetIv getIv, GetLog getLog) {
    GLint length = 0;
    getIv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) return "";
    std::string info(static_cast<std::size_t>(length), ' ');
    getLog(object, length, nullptr, &info[0]);
    const std::size_t end = info.find('\0');
    if (end != std::string::npos) info.resize(end);
    return info;
}

} // namespace

std::string shaderInfoLog(unsigned int shader) {
    return infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

std::string programInfoLog(unsigned int program) {
    return infoLog(program, glGetProgramiv, glGetProgramInfoLog);
}
