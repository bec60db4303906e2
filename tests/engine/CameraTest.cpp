// Cameras: their numbers, their transforms, their keys and their uniforms.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "engine/Camera.h"
#include "engine/HUDCamera.h"
#include "engine/Log.h"
#include "engine/ShaderHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "platform/Glfw2.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

namespace {

// Built here straight from GLM (radians), independent of the camera's code.
glm::mat4 expectedView(const glm::vec3& position, float angleDegrees, const glm::vec3& axis,
                       float aspect) {
    glm::mat4 m = glm::perspective(glm::radians(45.0f), aspect, 0.1f, 10000.0f);
    m = glm::rotate(m, glm::radians(45.0f), glm::vec3(1, 0, 0));
    m = glm::translate(m, position);
    return glm::rotate(m, glm::radians(angleDegrees), axis);
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance = 1e-5f) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(actual[c][r], expected[c][r], tolerance) << "column " << c << " row " << r;
}

glm::vec3 toNdc(const glm::mat4& m, const glm::vec3& p) {
    const glm::vec4 clip = m * glm::vec4(p, 1.0f);
    return glm::vec3(clip) / clip.w;
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { glfw2::seam::reset(); }
    void TearDown() override { glfw2::seam::reset(); }
};

TEST_F(CameraTest, FreshCameraHasTheDefaultNumbers) {
    Engine::Camera camera(0, 0, 800, 600);
    EXPECT_FLOAT_EQ(camera.fov, 45.0f);
    EXPECT_FLOAT_EQ(camera.aspect, 1.3333334f);
    EXPECT_FLOAT_EQ(camera.zNear, 0.1f);
    EXPECT_FLOAT_EQ(camera.zFar, 10000.0f);
    EXPECT_FLOAT_EQ(camera.nearHalfHeight, 0.041421358f);
    EXPECT_FLOAT_EQ(camera.nearHalfWidth, 0.05522848f);
    EXPECT_FLOAT_EQ(camera.farHalfHeight, 4142.1357f);
    EXPECT_FLOAT_EQ(camera.farHalfWidth, 5522.8477f);
    EXPECT_EQ(camera.position, glm::vec3(0, -200, -200));
    EXPECT_EQ(camera.getPosition(), glm::vec3(0, -200, -200));
    EXPECT_EQ(camera.previousPosition, glm::vec3(0));
    EXPECT_EQ(camera.axis, glm::vec3(0, 1, 0));
    EXPECT_EQ(camera.angle, 0.0f);
    EXPECT_EQ(camera.previousTransform, glm::mat4(1.0f));
    expectMatrixNear(camera.transform, expectedView({0, -200, -200}, 0, {0, 1, 0}, 800.0f / 600.0f));
}

TEST_F(CameraTest, TheEyeSitsAtMinusPositionAndLooksDownAtTheOrigin) {
    Engine::Camera camera(0, 0, 800, 600);
    // The world origin lies in the middle of the view...
    const glm::vec3 origin = toNdc(camera.transform, glm::vec3(0));
    EXPECT_NEAR(origin.x, 0.0f, 1e-5f);
    EXPECT_NEAR(origin.y, 0.0f, 1e-5f);
    // ...and a point just in front of the eye at (0, 200, 200), on the way to
    // the origin, is in view, in the middle and nearer than the origin.
    const glm::vec3 nearEye = toNdc(camera.transform, glm::vec3(0, 199.8f, 199.8f));
    EXPECT_NEAR(nearEye.x, 0.0f, 1e-3f);
    EXPECT_NEAR(nearEye.y, 0.0f, 1e-3f);
    EXPECT_GT(nearEye.z, -1.0f);
    EXPECT_LT(nearEye.z, origin.z);
    // A point behind the eye is not in front of it.
    const glm::vec4 behind = camera.transform * glm::vec4(0, 210, 210, 1);
    EXPECT_LT(behind.w, 0.0f);
}

TEST_F(CameraTest, UpdateTurnsFirstAndMovesAfterTheTransform) {
    Engine::Camera camera(0, 0, 800, 600);
    glfw2::seam::setKey(glfw2::KEY_PAGEUP, true);
    const glm::mat4 before = camera.transform;
    camera.update(0.5f);
    EXPECT_FLOAT_EQ(camera.angle, -2.0f);
    EXPECT_EQ(camera.axis, glm::vec3(0, 2, 0));
    EXPECT_EQ(camera.speed, 100);
    EXPECT_EQ(camera.position, glm::vec3(0, -150, -150));
    // The transform was rebuilt before the move.
    expectMatrixNear(camera.transform, expectedView({0, -200, -200}, -2.0f, {0, 1, 0}, 800.0f / 600.0f));
    EXPECT_EQ(camera.previousTransform, before);

    glfw2::seam::setKey(glfw2::KEY_PAGEUP, false);
    glfw2::seam::setKey(glfw2::KEY_PAGEDOWN, true);
    camera.update(0.25f);
    EXPECT_EQ(camera.position, glm::vec3(0, -175, -175));
    expectMatrixNear(camera.transform, expectedView({0, -150, -150}, -3.0f, {0, 1, 0}, 800.0f / 600.0f));
}

TEST_F(CameraTest, RotateAddsAngleAndAxis) {
    Engine::Camera camera(0, 0, 100, 100);
    camera.rotate(30.0f, glm::vec3(0, 1, 0));
    camera.rotate(15.0f, glm::vec3(0, 0, 1));
    EXPECT_FLOAT_EQ(camera.angle, 45.0f);
    EXPECT_EQ(camera.axis, glm::vec3(0, 2, 1));
    expectMatrixNear(camera.transform, expectedView({0, -200, -200}, 45.0f, glm::normalize(glm::vec3(0, 2, 1)), 1.0f));

    camera.setPosition(glm::vec3(1, 2, 3));
    EXPECT_EQ(camera.position, glm::vec3(1, 2, 3));
    expectMatrixNear(camera.transform, expectedView({0, -200, -200}, 45.0f, glm::normalize(glm::vec3(0, 2, 1)), 1.0f));
}

TEST_F(CameraTest, PlainAndHudCamerasCullNothing) {
    Engine::Camera camera(0, 0, 100, 100);
    Engine::HUDCamera hud(0, 0, 100, 100);
    for (const glm::vec3& centre : {glm::vec3(0), glm::vec3(0, 1e6f, 0), glm::vec3(0, 200, 200),
                                    glm::vec3(-5e5f, 0, -5e5f)}) {
        EXPECT_FALSE(camera.isCulled(centre, 1.0f));
        EXPECT_FALSE(hud.isCulled(centre, 0.0f));
    }
}

// Counts the calls of its own transform update, to see that the base
// constructor does not reach it.
int derivedUpdates = 0;
class CountingCamera : public Engine::Camera {
public:
    CountingCamera() : Camera(0, 0, 10, 10) {}
    void updateTransform() override { ++derivedUpdates; }
};

TEST_F(CameraTest, ConstructorUsesItsOwnTransformUpdate) {
    derivedUpdates = 0;
    CountingCamera camera;
    EXPECT_EQ(derivedUpdates, 0);
    expectMatrixNear(camera.transform, expectedView({0, -200, -200}, 0, {0, 1, 0}, 1.0f));
    camera.rotate(1.0f, glm::vec3(0, 1, 0)); // rotate goes through the virtual
    EXPECT_EQ(derivedUpdates, 1);
}

TEST_F(CameraTest, HudCameraMapsTheUnitSquareOntoItsViewport) {
    Engine::HUDCamera hud(0, 0, 640, 480);
    EXPECT_EQ(hud.position, glm::vec3(0, 0, -200));
    EXPECT_EQ(hud.previousTransform, glm::mat4(1.0f));
    const glm::vec3 middle = toNdc(hud.transform, glm::vec3(0.5f, 0.5f, 0.0f));
    EXPECT_NEAR(middle.x, 0.0f, 1e-6f);
    EXPECT_NEAR(middle.y, 0.0f, 1e-6f);
    const glm::vec3 corner = toNdc(hud.transform, glm::vec3(0.0f, 0.0f, 0.0f));
    EXPECT_NEAR(corner.x, -1.0f, 1e-6f);
    EXPECT_NEAR(corner.y, -1.0f, 1e-6f);
    const glm::vec3 top = toNdc(hud.transform, glm::vec3(1.0f, 1.0f, 0.0f));
    EXPECT_NEAR(top.x, 1.0f, 1e-6f);
    EXPECT_NEAR(top.y, 1.0f, 1e-6f);
    // A larger z is nearer the viewer; the depth range spans -9800..199.9.
    EXPECT_LT(toNdc(hud.transform, glm::vec3(0.5f, 0.5f, 1.0f)).z, middle.z);
    EXPECT_GE(toNdc(hud.transform, glm::vec3(0.5f, 0.5f, 199.8f)).z, -1.0f);
    EXPECT_LE(toNdc(hud.transform, glm::vec3(0.5f, 0.5f, -9799.0f)).z, 1.0f);

    const glm::mat4 before = hud.transform;
    hud.update(1.0f);
    EXPECT_EQ(hud.transform, before);
    EXPECT_EQ(hud.angle, 0.0f);
    // The HUD transform update leaves the previous transform alone.
    hud.rotate(90.0f, glm::vec3(0, 1, 0));
    EXPECT_EQ(hud.previousTransform, glm::mat4(1.0f));
    EXPECT_EQ(hud.transform, before) << "no turn enters the HUD view";
}

TEST_F(CameraTest, EmptyViewportKeepsTheMatricesFinite) {
    Engine::Camera camera(0, 0, 800, 0);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            EXPECT_TRUE(std::isfinite(camera.projection[c][r]));
            EXPECT_TRUE(std::isfinite(camera.transform[c][r]));
        }
    EXPECT_TRUE(std::isfinite(camera.nearHalfWidth));
}

TEST_F(CameraTest, ViewportAndUniformsReachOpenGL) {
    REQUIRE_GL_CONTEXT();
    testsupport::TempDir dir;
    Log::destroy();
    dir.write("u.vert",
              "#version 120\nuniform mat4 previousCameraTransform;\nuniform mat4 cameraTransform;\n"
              "uniform vec3 previousCameraLocation;\nuniform vec3 cameraLocation;\n"
              "attribute vec4 vertex;\nvoid main() { gl_Position = previousCameraTransform * "
              "cameraTransform * vertex + vec4(previousCameraLocation + cameraLocation, 0.0); }\n");
    ShaderHandler vert("u.vert");
    ShaderProgramHandler program;
    program.addShader(&vert);
    program.build();

    Engine::Camera camera(3, 4, 50, 60);
    camera.rotate(10.0f, glm::vec3(0, 1, 0));
    camera.previousPosition = glm::vec3(7, 8, 9);
    camera.applyViewport();
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 3);
    EXPECT_EQ(viewport[1], 4);
    EXPECT_EQ(viewport[2], 50);
    EXPECT_EQ(viewport[3], 60);

    glUseProgram(program.program);
    camera.setUniforms(&program);
    glUseProgram(0);
    const GLuint p = program.program;
    glm::mat4 previous(0.0f), current(0.0f);
    glm::vec3 previousLocation(0.0f), location(0.0f);
    glGetUniformfv(p, glGetUniformLocation(p, "previousCameraTransform"), glm::value_ptr(previous));
    glGetUniformfv(p, glGetUniformLocation(p, "cameraTransform"), glm::value_ptr(current));
    glGetUniformfv(p, glGetUniformLocation(p, "previousCameraLocation"), glm::value_ptr(previousLocation));
    glGetUniformfv(p, glGetUniformLocation(p, "cameraLocation"), glm::value_ptr(location));
    EXPECT_EQ(previous, camera.previousTransform);
    EXPECT_EQ(current, camera.transform);
    EXPECT_EQ(previousLocation, glm::vec3(7, 8, 9));
    EXPECT_EQ(location, glm::vec3(0, -200, -200));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glViewport(0, 0, 256, 256);
    Log::destroy();
}

} // namespace
