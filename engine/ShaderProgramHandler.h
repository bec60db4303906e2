#pragma once
#include <GL/glew.h>

#include <memory>
#include <vector>

class ShaderHandler;

// One program object linked from shaders. The shaders are shared, not owned.
class ShaderProgramHandler {
public:
    ShaderProgramHandler();
    ~ShaderProgramHandler();
    ShaderProgramHandler(const ShaderProgramHandler&) = delete;
    ShaderProgramHandler& operator=(const ShaderProgramHandler&) = delete;

    // Appends a shader to attach when building (null, or a shader that did
    // not compile, is skipped at build).
    void addShader(ShaderHandler* shader);
    // Links the program from the shaders added so far. A link failure is
    // logged; the program object is kept either way, so the result is true.
    bool build();
    // Logs the shader list.
    void print();

    GLuint program;
    // The last build linked. Drawing with a program that did not link could
    // only raise an OpenGL error on every call.
    bool linked;
    std::unique_ptr<std::vector<ShaderHandler*>> shaders;
};
