#pragma once
#include <string>

class MeshHandler;

namespace testsupport {

struct Rgb {
    unsigned char r, g, b;
};

// Writes a textured square into the directory: "<name>.obj" (corners
// (-1,-1,0) to (1,1,0), normal +z, texture coordinates 0..1, two triangles
// counter-clockwise seen from +z), "<name>.mtl" (material "tex", Ka/Kd 1,
// map_Kd) and "<name>.bmp", 8x8 pixels, left half `left`, right half
// `right`. Returns the OBJ's absolute path.
std::string writeTexturedQuad(const std::string& directory, const std::string& name,
                              Rgb left, Rgb right);

// Adds a face group with the same square (no texture) to a mesh built in code.
void addQuadGroup(MeshHandler& mesh, const std::string& groupName);

// Copies the program's shader files into "shader/" of the working directory.
void installShaders();

} // namespace testsupport
