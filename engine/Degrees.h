#pragma once
// The program holds angles in degrees; GLM takes radians. These helpers are
// the one place where degrees become radians for GLM.
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace deg {

inline glm::mat4 rotate(const glm::mat4& m, float angleDegrees, const glm::vec3& axis) {
    return glm::rotate(m, glm::radians(angleDegrees), axis);
}

// A direction turned about an axis (GLM's vector rotate takes radians too).
// A zero axis names no rotation: the direction stays as it is.
inline glm::vec3 rotate(const glm::vec3& v, float angleDegrees, const glm::vec3& axis) {
    if (glm::dot(axis, axis) <= 0.0f) return v;
    return glm::vec3(glm::rotate(glm::mat4(1.0f), glm::radians(angleDegrees), axis) *
                     glm::vec4(v, 0.0f));
}

inline glm::mat4 perspective(float fovyDegrees, float aspect, float zNear, float zFar) {
    return glm::perspective(glm::radians(fovyDegrees), aspect, zNear, zFar);
}

} // namespace deg
