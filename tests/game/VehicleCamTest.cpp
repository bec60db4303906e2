// The chase camera: its glide, Page Up / Page Down, its frustum and culling.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include <glm/gtc/matrix_transform.hpp>

#include "game/VehicleCam.h"
#include "tests/support/CarScene.h"

using namespace testsupport;

namespace {

class VehicleCamTest : public CarScene {
protected:
    // Follows a car that stands, unstepped, where it was put.
    void follow(glm::vec3 at, float angleDegrees) {
        car = addCar(at, angleDegrees);
        camera = new Engine::VehicleCam(0, 0, 256, 256, car);
        level->addCamera(camera);
    }
    // The negated eye point, behind the car's heading and above it.
    glm::vec3 target(float distance, float eyeHeight, float angleDegrees) const {
        const float a = glm::radians(angleDegrees);
        return glm::vec3(distance * std::sin(a), -eyeHeight, distance * std::cos(a)) - car->position;
    }
    Vehicles::Car* car = nullptr;
    Engine::VehicleCam* camera = nullptr;
};

#define EXPECT_VEC_NEAR(a, b, tolerance) EXPECT_LT(glm::distance(a, b), tolerance)

TEST_F(VehicleCamTest, StartsAtItsTargetAndCoversThreeDtOfTheWayEachFrame) {
    follow(glm::vec3(10, 2, 20), 30.0f);
    EXPECT_VEC_NEAR(camera->position, target(13, 10, 30), 1e-4f);
    for (float dt : {1.0f / 60.0f, 0.1f, 0.5f}) { // above 1/3 s it overshoots
        const glm::vec3 away(6, -2, 3), start = camera->target + away;
        const glm::mat4 before = camera->transform;
        camera->position = start;
        camera->update(dt);
        EXPECT_VEC_NEAR(camera->position - camera->target, away * (1.0f - 3.0f * dt), 1e-4f);
        EXPECT_EQ(camera->previousPosition, start);
        EXPECT_EQ(camera->previousTransform, before); // kept like the plain camera's
    }
}

TEST_F(VehicleCamTest, PageUpAndPageDownMoveItAwayAndNearerFromTheNextFrame) {
    follow(glm::vec3(0, 0, 0), 0.0f);
    for (auto [key, sign] : {std::pair{glfw2::KEY_PAGEUP, 1.0f}, {glfw2::KEY_PAGEDOWN, -1.0f}}) {
        const float distance = camera->distance, eyeHeight = camera->eyeHeight;
        hold(key);
        camera->update(0.1f);
        hold(key, false);
        EXPECT_FLOAT_EQ(camera->distance, distance + sign * 20.0f);
        EXPECT_FLOAT_EQ(camera->eyeHeight, eyeHeight + sign * 10.0f);
        EXPECT_VEC_NEAR(camera->target, target(distance, eyeHeight, 0.0f), 1e-4f);
        camera->update(0.1f);
        EXPECT_VEC_NEAR(camera->target, target(camera->distance, camera->eyeHeight, 0.0f), 1e-4f);
    }
}

TEST_F(VehicleCamTest, FrustumOfAKnownPoseCullsByTheNearAndFarPlanesOnly) {
    follow(glm::vec3(0, 0, 0), 0.0f);
    camera->updateTransform();
    const glm::vec3 eye(0, 10, -13), centre(0, 5, 0), up(0, 1, 0);
    EXPECT_EQ(camera->transform, camera->projection * glm::lookAt(eye, centre, up));
    const glm::vec3 Z = glm::normalize(eye - centre), X = glm::cross(up, Z), Y = glm::cross(Z, X);
    EXPECT_VEC_NEAR(camera->corners[1] - camera->corners[0], 2.0f * camera->nearHalfWidth * X, 1e-5f);
    EXPECT_VEC_NEAR(camera->corners[4] - camera->corners[6], 2.0f * camera->farHalfHeight * Y, 0.05f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(camera->planes[0].distance(camera->corners[i]), 0.0f, 1e-4f);
        EXPECT_NEAR(camera->planes[1].distance(camera->corners[i + 4]), 0.0f, 1.0f);
    }
    EXPECT_NEAR(camera->planes[0].distance(eye), -0.1f, 1e-4f); // near normal points away from the eye
    EXPECT_NEAR(camera->planes[1].distance(eye), 10000.0f, 1.0f); // far normal towards it
    for (const Engine::Plane& plane : camera->planes) EXPECT_GT(plane.distance(centre), 0.0f);

    const glm::vec3 behind = eye + Z * 2.0f;
    const float touching = -camera->planes[0].distance(behind);
    const std::tuple<glm::vec3, float, bool> cases[] = { // point, radius, culled
        {behind, 1.0f, true}, {behind, touching, false}, {behind, touching - 0.01f, true},
        {eye - Z * 10005.0f, 1.0f, true}, {eye - Z * 9999.0f, 1.0f, false},
        {eye - Z * 50.0f + X * 1000.0f, 1.0f, false}, {eye - Z * 50.0f + Y * 1000.0f, 1.0f, false}};
    for (const auto& [point, radius, culled] : cases)
        EXPECT_EQ(camera->isCulled(point, radius), culled) << point.x << ' ' << point.y << ' ' << point.z;
}

} // namespace
