#pragma once
#include <string>

class MeshHandler;

namespace testsupport {

struct Rgb {
    unsigned char r, g, b;
};

// Adds a face group with a square to a mesh built in code: corners (-1,-1,0)
// to (1,1,0), normal +z, texture coordinates 0..1, two triangles
// counter-clockwise seen from +z.
void addQuadGroup(MeshHandler& mesh, const std::string& groupName);

// Copies the program's shader files into "shader/" of the working directory.
void installShaders();

} // namespace testsupport
