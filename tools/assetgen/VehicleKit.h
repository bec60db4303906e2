#pragma once
// Small modelling helpers shared by the vehicle, item and HUD generators.
#include <glm/glm.hpp>

#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/Image.h"
#include "tools/assetgen/MeshBuilder.h"

namespace assetgen {
namespace vehicles {

// A texture-space rectangle: (u0, v0) lower-left, (u1, v1) upper-right.
struct UvRect {
    glm::vec2 lo{0, 0}, hi{1, 1};
};

// The rectangle of the pixels [x0, x1) x [y0, y1) of a w x h atlas (pixel row
// 0 is the picture's top, v = 0 its bottom), shrunk by inset pixels so that
// linear filtering does not pull in the neighbouring cell.
UvRect atlasCell(int w, int h, int x0, int y0, int x1, int y1, int inset = 0);

// Creates dir and its parents; false when it cannot.
bool ensureDir(const std::string& dir);

// One flat-shaded triangle / quad (counter-clockwise seen from the front)
// with explicit texture coordinates. Degenerate triangles are skipped.
void flatTriangle(MeshBuilder& mb, glm::vec3 a, glm::vec3 b, glm::vec3 c,
                  glm::vec2 ta, glm::vec2 tb, glm::vec2 tc);
void flatQuad(MeshBuilder& mb, glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d,
              const UvRect& uv);

// Connects cross-sections (rings) of equal point count. Each ring is
// counter-clockwise seen from its forward side (+z for rings along z); rings
// are ordered from back to front. uvFor(ring, edge) picks the texture
// rectangle of the band between ring and ring + 1 on the ring's edge
// (edge k runs from point k to point k + 1). The first and last rings are
// closed with fans whose texture is capBack / capFront.
void loft(MeshBuilder& mb, const std::vector<std::vector<glm::vec3>>& rings,
          const std::function<UvRect(int ring, int edge)>& uvFor,
          const UvRect& capBack, const UvRect& capFront);

// A prism: a convex polygon given in the plane (origin, along, across)
// extruded by thickness along their normal, centred on that plane.
void prism(MeshBuilder& mb, const std::vector<glm::vec2>& polygon, glm::vec3 origin,
           glm::vec3 along, glm::vec3 across, float thickness, const UvRect& uv);

// An axis-aligned box with every face mapped onto one texture rectangle.
void boxUv(MeshBuilder& mb, glm::vec3 lo, glm::vec3 hi, const UvRect& uv);

// A texture for a lathed mesh: the lathe maps profile segment k to the
// band v in [k / bands, (k + 1) / bands] and u once around. colour gets the
// band, u in [0, 1) around and f in [0, 1) along the band (from the lower
// profile point).
Image bandTexture(int w, int h, int bands, const std::function<Rgba(int band, float u, float f)>& colour);
// The texture rectangle of one band (all the way around).
UvRect bandCell(int bands, int band);

// Moves everything so that the bounds are centred on the origin
// (min = -max on every axis): box shapes sized from the maxima then match
// what is drawn.
void centreOnOrigin(MeshBuilder& mb);

// Prints the bounds of a written mesh (the generator's run log).
void reportBounds(const std::string& name, const MeshBuilder& mb);

// Writes a PNG into dir and reports failures.
bool savePng(const Image& img, const std::string& path, bool keepAlpha = false);

} // namespace vehicles

// The items (bullet form, rocket, mine, pick-up box) and the particles.
bool generateItems(const std::string& root);
bool generateParticles(const std::string& root);

} // namespace assetgen
