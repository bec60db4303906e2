#pragma once
#include <glm/glm.hpp>

namespace Engine {

// One plane of a view frustum, through three points; the normal follows
// the winding p0 -> p1 -> p2.
class Plane {
public:
    Plane();
    Plane(glm::vec3 p0, glm::vec3 p1, glm::vec3 p2);

    // Signed distance of the point (positive on the normal's side).
    float distance(glm::vec3 point) const;

    glm::vec3 u;      // p1 - p0
    glm::vec3 v;      // p2 - p0
    glm::vec3 normal; // unit length
    float d;          // -normal . p0
};

} // namespace Engine
