#pragma once
#include <GL/glew.h>

#include <memory>
#include <string>

#include "engine/FileExtension.h"

// One shader object compiled from a source file. The type follows the file
// extension: "vert" makes a vertex shader, "frag" a fragment shader.
class ShaderHandler {
public:
    // Locates, reads and compiles the file. On any failure `id` stays 0 and
    // the log says why.
    explicit ShaderHandler(const std::string& fileName);
    ~ShaderHandler();
    ShaderHandler(const ShaderHandler&) = delete;
    ShaderHandler& operator=(const ShaderHandler&) = delete;

    // Name of the fragment output bound to colour number 0 when the program
    // is linked (fragment shaders only).
    void setFragOutputName(const std::string& name);

    GLuint id;
    GLenum type;
    std::unique_ptr<std::string> fileName;       // the found path, "" when not found
    std::unique_ptr<std::string> fragOutputName; // null unless set
};
