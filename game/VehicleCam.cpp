#include "game/VehicleCam.h"

#include <glm/gtc/matrix_transform.hpp>

#include "game/Vehicle.h"
#include "platform/Glfw2.h"

namespace Engine {

VehicleCam::VehicleCam(int x, int y, int width, int height, Vehicle* vehicle)
    : Camera(x, y, width, height), target(0.0f), lookOffset(0.0f, lookHeight, 0.0f),
      vehicle(vehicle) {
    for (glm::vec3& corner : corners) corner = glm::vec3(0.0f);
    updateTarget();
    position = target; // starts at its ideal place
}

void VehicleCam::updateTarget() {
    if (!vehicle) return;
    glm::vec3 forward;
    if (vehicle->raycastVehicle) {
        const btVector3 f = vehicle->raycastVehicle->getForwardVector();
        forward = glm::vec3(f.x(), f.y(), f.z());
    } else {
        forward = glm::vec3(vehicle->rotationMatrix[2]);
    }
    const glm::vec3 horizontal(forward.x, 0.0f, forward.z);
    // Straight up or down there is no heading: keep the last target.
    if (glm::dot(horizontal, horizontal) <= 1e-12f) return;
    const glm::vec3 h = glm::normalize(horizontal);
    target = glm::vec3(distance * h.x, -eyeHeight, distance * h.z) - vehicle->position;
}

void VehicleCam::update(float dt) {
    if (!vehicle) return;
    updateTarget();
    previousPosition = position;
    position = position - (position - target) * (3.0f * dt);
    if (glfw2::getKey(glfw2::KEY_PAGEUP)) {
        distance += 200.0f * dt;
        eyeHeight += 100.0f * dt;
    }
    if (glfw2::getKey(glfw2::KEY_PAGEDOWN)) {
        distance -= 200.0f * dt;
        eyeHeight -= 100.0f * dt;
    }
    updateTransform();
}

void VehicleCam::updateTransform() {
    if (!vehicle) return;
    // Kept like the plain camera's, so "previousCameraTransform" is the last
    // frame's view rather than the identity.
    previousTransform = transform;
    const glm::vec3 eye = -position;
    const glm::vec3 centre = vehicle->position + lookOffset;
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    transform = projection * glm::lookAt(eye, centre, up);

    const glm::vec3 Z = glm::normalize(eye - centre);
    const glm::vec3 X = glm::cross(up, Z);
    const glm::vec3 Y = glm::cross(Z, X);
    const glm::vec3 nc = eye - Z * zNear;
    const glm::vec3 fc = eye - Z * zFar;
    const float nh = nearHalfHeight, nw = nearHalfWidth, fh = farHalfHeight, fw = farHalfWidth;
    corners[0] = nc + Y * nh - X * nw;
    corners[1] = nc + Y * nh + X * nw;
    corners[2] = nc - Y * nh - X * nw;
    corners[3] = nc - Y * nh + X * nw;
    corners[4] = fc + Y * fh - X * fw;
    corners[5] = fc + Y * fh + X * fw;
    corners[6] = fc - Y * fh - X * fw;
    corners[7] = fc - Y * fh + X * fw;

    planes[0] = Plane(corners[0], corners[1], corners[3]); // near
    planes[1] = Plane(corners[5], corners[4], corners[6]); // far
    planes[2] = Plane(corners[0], corners[2], corners[6]); // left
    planes[3] = Plane(corners[3], corners[1], corners[7]); // right
    planes[4] = Plane(corners[1], corners[0], corners[4]); // top
    planes[5] = Plane(corners[2], corners[3], corners[7]); // bottom
}

bool VehicleCam::isCulled(glm::vec3 centre, float radius) {
    // Only the near and far planes: beside, above or below counts as seen.
    if (planes[0].distance(centre) < -radius) return true;
    if (planes[1].distance(centre) < -radius) return true;
    return false;
}

} // namespace Engine
