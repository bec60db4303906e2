#include "engine/Camera.h"

#include <cmath>

#include <glm/gtc/type_ptr.hpp>

#include "engine/Degrees.h"
#include "engine/ShaderProgramHandler.h"
#include "platform/Glfw2.h"

namespace Engine {

Camera::Camera(int x, int y, int width, int height)
    : x(x), y(y), width(width), height(height),
      fov(45.0f), aspect(1.0f), zNear(0.1f), zFar(10000.0f),
      projection(1.0f), position(0.0f, -200.0f, -200.0f), previousPosition(0.0f),
      axis(0.0f, 1.0f, 0.0f), angle(0.0f), transform(1.0f), previousTransform(1.0f),
      nearHalfHeight(0.0f), nearHalfWidth(0.0f), farHalfHeight(0.0f), farHalfWidth(0.0f),
      speed(0) {
    // An empty viewport (e.g. a configuration without a size) would make the
    // projection infinite or NaN; it shows nothing anyway, so keep it square.
    if (width > 0 && height > 0) aspect = static_cast<float>(width) / static_cast<float>(height);
    projection = deg::perspective(fov, aspect, zNear, zFar);
    // Not through the virtual table: a derived camera's version must not run
    // before its own constructor.
    Camera::updateTransform();

    const float tangent = static_cast<float>(std::tan(glm::radians(static_cast<double>(fov) * 0.5)));
    nearHalfHeight = zNear * tangent;
    nearHalfWidth = nearHalfHeight * aspect;
    farHalfHeight = zFar * tangent;
    farHalfWidth = farHalfHeight * aspect;
}

Camera::~Camera() = default;

void Camera::update(float dt) {
    rotate(dt * -4.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    speed = 100;
    const float step = static_cast<float>(speed) * dt;
    if (glfw2::getKey(glfw2::KEY_PAGEUP)) {
        position.y += step;
        position.z += step;
    }
    if (glfw2::getKey(glfw2::KEY_PAGEDOWN)) {
        position.y -= step;
        position.z -= step;
    }
}

void Camera::updateTransform() {
    previousTransform = transform;
    // The projection, a fixed downward tilt, then the view's own move and turn.
    transform = deg::rotate(projection, 45.0f, glm::vec3(1.0f, 0.0f, 0.0f));
    transform = glm::translate(transform, position);
    transform = deg::rotate(transform, angle, axis);
}

glm::vec3 Camera::getPosition() {
    return position;
}

bool Camera::isCulled(glm::vec3 /*centre*/, float /*radius*/) {
    return false;
}

void Camera::applyViewport() {
    glViewport(x, y, width, height);
}

void Camera::setUniforms(ShaderProgramHandler* program) {
    if (!program) return;
    const GLuint p = program->program;
    const GLint previousTransformLocation = glGetUniformLocation(p, "previousCameraTransform");
    const GLint transformLocation = glGetUniformLocation(p, "cameraTransform");
    const GLint previousLocation = glGetUniformLocation(p, "previousCameraLocation");
    const GLint location = glGetUniformLocation(p, "cameraLocation");
    glUniformMatrix4fv(previousTransformLocation, 1, GL_FALSE, glm::value_ptr(previousTransform));
    glUniformMatrix4fv(transformLocation, 1, GL_FALSE, glm::value_ptr(transform));
    glUniform3fv(previousLocation, 1, glm::value_ptr(previousPosition));
    glUniform3fv(location, 1, glm::value_ptr(position));
}

void Camera::rotate(float degrees, glm::vec3 rotationAxis) {
    angle += degrees;
    axis += rotationAxis;
    updateTransform();
}

void Camera::setPosition(glm::vec3 newPosition) {
    position = newPosition;
}

} // namespace Engine
