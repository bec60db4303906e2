#pragma once
#include <GL/glew.h>

#include <glm/glm.hpp>

class ShaderProgramHandler;

namespace Engine {

// Perspective camera with its own viewport. It keeps one combined
// projection-and-view matrix (`transform`) plus the one of its previous
// update, and hands both with its position to the shader of every draw.
// The plain camera turns slowly about the vertical axis and moves with
// Page Up / Page Down (test levels).
class Camera {
public:
    Camera(int x, int y, int width, int height);
    // Virtual so that a level may own cameras of any kind through this type.
    virtual ~Camera();

    virtual void update(float dt);
    virtual void updateTransform();
    virtual glm::vec3 getPosition();
    // True when the sphere lies outside the view. The plain camera culls
    // nothing.
    virtual bool isCulled(glm::vec3 centre, float radius);

    // glViewport with this camera's viewport.
    void applyViewport();
    // Uploads the four camera uniforms to the program.
    void setUniforms(ShaderProgramHandler* program);
    // Adds the degrees to `angle` and the axis to `axis` (a vector sum), then
    // rebuilds the transform.
    void rotate(float degrees, glm::vec3 axis);
    // Sets `position` without rebuilding the transform.
    void setPosition(glm::vec3 position);

    int x, y, width, height;
    float fov;    // vertical, degrees
    float aspect; // width / height
    float zNear, zFar;
    glm::mat4 projection;
    glm::vec3 position; // translation the view applies to the world (eye at -position)
    glm::vec3 previousPosition;
    glm::vec3 axis;
    float angle; // degrees
    glm::mat4 transform;
    glm::mat4 previousTransform;
    float nearHalfHeight, nearHalfWidth, farHalfHeight, farHalfWidth;
    int speed; // Page Up / Page Down move, units per second
};

} // namespace Engine
