#include "game/Plane.h"

namespace Engine {

Plane::Plane() : u(0.0f), v(0.0f), normal(0.0f), d(0.0f) {}

Plane::Plane(glm::vec3 p0, glm::vec3 p1, glm::vec3 p2)
    : u(p1 - p0), v(p2 - p0), normal(glm::normalize(glm::cross(u, v))), d(glm::dot(-normal, p0)) {}

float Plane::distance(glm::vec3 point) const {
    return glm::dot(normal, point) + d;
}

} // namespace Engine
