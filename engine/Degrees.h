#pragma once
// The program holds angles in degrees; GLM takes radians. These helpers are
// the one place where degrees become radians for GLM.
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace deg {

inline glm::mat4 rotate(const glm::mat4& m, float angleDegrees, const glm::vec3& axis) {
    return glm::rotate(m, glm::radians(angleDegrees), axis);
}

inline glm::mat4 perspective(float fovyDegrees, float aspect, float zNear, float zFar) {
    return glm::perspective(glm::radians(fovyDegrees), aspect, zNear, zFar);
}

} // namespace deg
