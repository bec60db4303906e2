#pragma once
// Small helpers shared by the scenery generators (table, sky, props).
#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/Image.h"
#include "tools/assetgen/MeshBuilder.h"

namespace assetgen::scenery {

// Value noise that repeats every periodX x periodY lattice cells, so a
// texture made from it tiles without a seam.
float tileNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// Sum of tileNoise octaves (each doubling frequency and period), in [0, 1).
float tileFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed);

// Moves the model's bounding-box centre to the origin, then scales it
// uniformly so that its half height becomes halfY. Physical props need
// min = -max on every axis: their collision box is centred on the body.
void centreAndFitHalfHeight(MeshBuilder& mb, float halfY);
// Moves the bounding-box centre to the origin and scales by factor.
void centreAndScale(MeshBuilder& mb, float factor);

// A surface of revolution about the y axis through centre, like
// MeshBuilder::lathe, but with normals shared across profile joints that
// bend less than smoothDegrees (so curved profiles shade smoothly), and the
// texture repeated uRepeat times around and vRepeat times along. inward
// turns faces and normals towards the axis (a surface seen from inside).
void smoothLathe(MeshBuilder& mb, const std::vector<glm::vec2>& profile, int segments,
                 glm::vec3 centre = {0, 0, 0}, float smoothDegrees = 40.0f, float uRepeat = 1.0f,
                 float vRepeat = 1.0f, bool inward = false);
// A capped cylinder of the given radius from a to b.
void tube(MeshBuilder& mb, glm::vec3 a, glm::vec3 b, float radius, int segments);
// A closed solid between a bottom quad and a top quad, both listed
// counter-clockwise seen from above; the sides face outward.
void prism(MeshBuilder& mb, const glm::vec3 bottom[4], const glm::vec3 top[4], bool withBottom);

Material plain(const std::string& name, glm::vec3 kd, float ks = 0.2f, float ns = 32.0f, float d = 1.0f);
Material textured(const std::string& name, const std::string& file, float ks = 0.15f, float ns = 24.0f);

// Creates root/relDir and writes the mesh there. Returns false on failure.
bool writeMesh(const MeshBuilder& mb, const std::string& root, const std::string& relDir,
               const std::string& objName, const std::string& mtlName);
// Creates root/relDir and writes the picture as root/relDir/file.
bool writeTexture(const Image& img, const std::string& root, const std::string& relDir,
                  const std::string& file);

} // namespace assetgen::scenery
