#pragma once
#include <string>

namespace testsupport {

// Writes a cube from -1 to 1 on each axis ("<name>.obj" with normals and
// texture coordinates, faces wound counter-clockwise seen from outside,
// plus "<name>.mtl" with one untextured material) into the directory and
// returns the absolute path of the OBJ file.
std::string writeCubeMesh(const std::string& directory, const std::string& name = "cube");

} // namespace testsupport
