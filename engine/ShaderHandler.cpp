#include "engine/GLInfoLog.h"
#include "engine/ShaderHandler.h"

#include <fstream>
#include <sstream>

#include "engine/FileLookup.h"
#include "engine/Log.h"

ShaderHandler::ShaderHandler(const std::string& name)
    : id(0), type(0), fileName(), fragOutputName() {
    const std::string path = findFile(name);
    fileName = std::make_unique<std::string>(path);
    if (path.empty()) {
        Log::write("ShaderHandler: shader file not found (" + name + ")");
        return;
    }

    const std::string extension = getFileExtension(path);
    if (extension == "vert") {
        type = GL_VERTEX_SHADER;
        id = glCreateShader(GL_VERTEX_SHADER);
    } else if (extension == "frag") {
        type = GL_FRAGMENT_SHADER;
        id = glCreateShader(GL_FRAGMENT_SHADER);
    }
    if (id == 0) {
        Log::write("ShaderHandler: tried to add unsupported shader type (" + path + ")");
        return;
    }

    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    const std::string source = content.str();
    const GLchar* text = source.c_str();
    glShaderSource(id, 1, &text, nullptr);
    glCompileShader(id);

    GLint status = 0;
    glGetShaderiv(id, GL_COMPILE_STATUS, &status);
    if (status == 0 || !glIsShader(id)) {
        Log::write("ShaderHandler: compile error (" + path + "):\n   ");
        Log::write(shaderInfoLog(id) + "\n");
        glDeleteShader(id);
        id = 0;
    }
    Log::write("ShaderHandler: shader compiled (" + path + ")\n");
}

ShaderHandler::~ShaderHandler() {
    if (id != 0) glDeleteShader(id);
    Log::write("ShaderHandler: shader destroyed (" + *fileName + ")\n");
}

void ShaderHandler::setFragOutputName(const std::string& name) {
    fragOutputName = std::make_unique<std::string>(name);
}
