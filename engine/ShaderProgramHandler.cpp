#include "engine/GLInfoLog.h"
#include "engine/ShaderProgramHandler.h"

#include <string>

#include "engine/Log.h"
#include "engine/ShaderHandler.h"

ShaderProgramHandler::ShaderProgramHandler()
    : program(0), linked(false), shaders(std::make_unique<std::vector<ShaderHandler*>>()) {}

ShaderProgramHandler::~ShaderProgramHandler() {
    glDeleteProgram(program);
    shaders->clear();
    shaders.reset();
    Log::write("ShaderProgramHandler: shader program destroyed (" + std::to_string(program) + ")\n");
    program = 0;
}

void ShaderProgramHandler::addShader(ShaderHandler* shader) {
    shaders->push_back(shader);
}

bool ShaderProgramHandler::build() {
    const GLuint p = glCreateProgram();
    for (ShaderHandler* shader : *shaders) {
        // A shader whose file was missing never became a handler, and one that
        // did not compile has no object to attach (attaching 0 only raises an
        // OpenGL error): the program is built from the ones there are.
        if (!shader || shader->id == 0) continue;
        if (shader->type == GL_FRAGMENT_SHADER && shader->fragOutputName)
            glBindFragDataLocation(p, 0, shader->fragOutputName->c_str());
        glAttachShader(p, shader->id);
    }
    // Compatibility contexts draw only when attribute 0 is enabled: make it
    // the position whatever order the driver would pick.
    glBindAttribLocation(p, 0, "vertex");
    glLinkProgram(p);

    GLint status = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &status);
    linked = status != 0 && glIsProgram(p);
    if (!linked) {
        Log::write("ShaderProgramHandler: build error:\n   " + programInfoLog(p) + "\n");
    }
    program = p;
    Log::write("ShaderProgramHandler: shader program built (" + std::to_string(p) + ")\n");
    return true;
}

void ShaderProgramHandler::print() {
    Log::write("### ShaderProgramHandler (capacity: " + std::to_string(shaders->capacity()) +
               ", size: " + std::to_string(shaders->size()) + ")\n");
    for (ShaderHandler* shader : *shaders)
        Log::write("# - " + (shader ? *shader->fileName : std::string("(missing)")) + "\n");
}
