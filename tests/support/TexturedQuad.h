#pragma once
#include <string>

class MeshHandler;

namespace testsupport {

struct Rgb {
    unsigned char r, g, b;
};

// Writes a textured square into the directory: "<name>.obj" (corners
// (-1,-1,0) to (1,1,0), normal +z, texture coordinates 0..1, two triangles
// counter-clockwise seen from +z), "<name>.mtl" (one material "tex" with
// Ka/Kd 1 and map_Kd) and "<name>.bmp", an 8x8 24-bit image whose left half
// (u < 0.5) is `left` and right half `right`. Returns the OBJ's absolute path.
std::string writeTexturedQuad(const std::string& directory, const std::string& name,
                              Rgb left, Rgb right);

// Writes a 24-bit BMP of width x height pixels, left half `left`, right half
// `right`.
void writeBmp(const std::string& path, int width, int height, Rgb left, Rgb right);

// Adds a face group with the same square (no texture) to a mesh built in code.
void addQuadGroup(MeshHandler& mesh, const std::string& groupName);

// Copies the program's shader files into "shader/" of the working directory,
// so that drawing tests can run in a temporary directory.
void installShaders();

} // namespace testsupport
