// The car in a real physics world (driving, the arena box, crashes, power-up
// mode, missing meshes, teardown) and the chase camera that follows it.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "decorations/Radar.h"
#include "engine/Globals.h"
#include "engine/ResourceRegistry.h"
#include "game/ExplosionHalo.h"
#include "game/Item.h"
#include "game/VehicleCam.h"
#include "game/Wheel.h"
#include "tests/support/CarScene.h"
#include "tests/support/RecordingActor.h"

using namespace testsupport;

namespace {

using VehicleTest = CarScene;

float kmh(Vehicles::Car* car) { return car->raycastVehicle->getCurrentSpeedKmHour(); }
float engine(Vehicles::Car* car) { return car->raycastVehicle->getWheelInfo(2).m_engineForce; }
float musicPitch() {
    float pitch = 0.0f;
    alGetSourcef(bgmSound, AL_PITCH, &pitch);
    return pitch;
}

TEST_F(VehicleTest, DrivesStraightToTheSpeedLimitThenBrakesAndReversesToItsLimit) {
    addFloor();
    Vehicles::Car* car = addCar(glm::vec3(80, 2, -80), -45.0f); // towards the centre, as player 1 starts
    run(60);
    hold(glfw2::KEY_UP);
    float top = 0.0f;
    for (int f = 0; f < 240; ++f) {
        const float before = kmh(car); // what the car's update reads
        run(1);
        ASSERT_FLOAT_EQ(engine(car), before < 120.0f ? 4500.0f : 0.0f) << f;
        top = std::max(top, kmh(car));
    }
    EXPECT_TRUE(top > 115.0f && top < 130.0f) << top;
    EXPECT_NEAR(headingDegrees(*car), -45.0f, 0.5f); // no steer input: along its heading, no drift
    EXPECT_NEAR(car->position.x + car->position.z, 0.0f, 0.15f) << car->position.x;
    for (auto [above, force] : {std::pair{0.0f, 0.0f}, {0.01f, 4500.0f}}) { // exactly at the limit: none
        car->maxSpeed = kmh(car) + above;
        car->accelerate(kDt);
        car->update(kDt);
        EXPECT_FLOAT_EQ(engine(car), force);
    }
    car->maxSpeed = 120.0f;
    hold(glfw2::KEY_UP, false);
    hold(glfw2::KEY_DOWN);
    int still = 0, reversing = 0, limited = 0;
    for (int f = 0; f < 300; ++f) {
        const float before = kmh(car);
        run(1);
        still = before < 1.0f ? still + 1 : 0;
        const bool brakes = still < 12 || before <= -75.0f; // 0.2 s of standstill, or the reverse limit
        ASSERT_FLOAT_EQ(engine(car), brakes ? 0.0f : -3000.0f) << f;
        ASSERT_TRUE(!brakes || car->raycastVehicle->getWheelInfo(2).m_brake == 100.0f) << f;
        reversing += still >= 12 && !brakes;
        limited += still >= 12 && brakes;
    }
    EXPECT_TRUE(reversing > 30 && limited > 0) << reversing << ' ' << limited;
}

TEST_F(VehicleTest, SteeringStepsClampsAndReturnsWithoutCrossingZero) {
    Vehicles::Car* car = addCar(glm::vec3(0, 2, 0));
    for (auto [key, sign] : {std::pair{glfw2::KEY_LEFT, 1.0f}, {glfw2::KEY_RIGHT, -1.0f}}) {
        hold(key);
        run(1);
        EXPECT_NEAR(car->steering, sign * 3.2f * kDt, 1e-6f); // (6.4 - 3.2) dt
        float widest = 0.0f;
        for (int f = 0; f < 60; ++f, run(1)) widest = std::max(widest, sign * car->steering);
        EXPECT_TRUE(widest >= 0.25f && widest <= 0.25f + 3.2f * kDt + 1e-6f) << widest; // clamp tested first
        hold(key, false);
        run(6);
        EXPECT_EQ(car->steering, 0.0f);
    }
    for (auto [from, to] : {std::pair{0.1f, 0.1f - 3.2f * kDt}, {0.03f, 0.0f}, {0.0f, 0.0f},
                            {-0.03f, 0.0f}, {-0.1f, -0.1f + 3.2f * kDt}}) { // one update without input
        car->steering = from;
        car->update(kDt);
        EXPECT_FLOAT_EQ(car->steering, to) << from;
        EXPECT_FLOAT_EQ(car->raycastVehicle->getWheelInfo(1).m_steering, to);
    }
}

TEST_F(VehicleTest, ArenaBoxIsStrictOnAllFiveFacesAndLostCarsArePutBackAtRest) {
    addFloor();
    level->addHUDElement(radar = new Decorations::Radar());
    Vehicles::Car* one = addCar(glm::vec3(-30, 2, 0));
    Vehicles::Car* two = addCar(glm::vec3(30, 2, 0));
    const float e = 0.01f;
    const std::pair<glm::vec3, bool> cases[] = {
        {{150, 0, 0}, false}, {{150 + e, 0, 0}, true}, {{-150, 0, 0}, false}, {{-150 - e, 0, 0}, true},
        {{0, 0, 150}, false}, {{0, 0, 150 + e}, true}, {{0, 0, -150}, false}, {{0, 0, -150 - e}, true},
        {{0, -10, 0}, false}, {{0, -10 - e, 0}, true}, {{0, 1000, 0}, false}};
    for (const auto& [at, lost] : cases) {
        level->lost.clear();
        one->rigidBody->setLinearVelocity(btVector3(3, 3, 3));
        one->position = at;
        one->update(kDt);
        EXPECT_EQ(level->lost.size(), lost ? 1u : 0u) << at.x << ' ' << at.y << ' ' << at.z;
        EXPECT_EQ(one->rigidBody->getLinearVelocity().isZero(), lost);
    }
    level->lost.clear(); // then lost by the physics: the item dropped, the power-up mode ended
    one->item = new Engine::Item();
    two->startEpicMode();
    moveBody(one, glm::vec3(200, 5, 0));
    moveBody(two, glm::vec3(0, 5, -200));
    run(2); // the first frame writes the new places into the cars
    EXPECT_EQ(level->lost, (std::vector<Engine::Vehicle*>{one, two}));
    EXPECT_EQ(one->item, nullptr);
    EXPECT_FALSE(two->epic || renderToOffscreen || radar->visible);
    EXPECT_FLOAT_EQ(musicPitch(), 1.0f);
    for (Vehicles::Car* car : {one, two}) {
        EXPECT_LT(glm::distance(car->position, glm::vec3(90, 5, -90)), 0.5f);
        EXPECT_LT(speedOf(*car), 0.5f);
        EXPECT_NEAR(headingDegrees(*car), 0.0f, 0.5f);
    }
}

TEST_F(VehicleTest, CrashSoundsAreThreeSecondsApartAndNeverForTheTable) {
    for (int kind : {0, 1, 2}) { // a crate on the roof, a car pushing nose to nose, only the table
        restartScene();
        addFloor();
        addCar(glm::vec3(0, 0, 0));
        if (kind == 0) addBlock(glm::vec3(0, 3.2f, 0), glm::vec3(1, 0.5f, 1), 1.0f);
        if (kind == 1) addCar(glm::vec3(0, 0, 6.5f), 180.0f);
        hold(glfw2::KEY_UP, kind == 1);
        hold('W', kind == 1);
        const unsigned sound = kind == 1 ? hitLoudSound : hitSoftSound;
        std::vector<int> starts;
        for (int f = 1; f <= 420; ++f) {
            run(1);
            if (played(sound)) starts.push_back(f);
            EXPECT_FALSE(played(kind == 1 ? hitSoftSound : hitLoudSound)) << kind;
        }
        EXPECT_TRUE(kind == 2 ? starts.empty() : starts.size() >= 2) << kind;
        for (size_t i = 0; i < starts.size(); ++i) // the timer starts at 0
            EXPECT_GE(starts[i] - (i ? starts[i - 1] : 0), 180) << kind;
    }
}

TEST_F(VehicleTest, PowerUpModeDrivesFastIgnoresTheBrakeAndEndsAfterTenSeconds) {
    addFloor();
    level->addHUDElement(radar = new Decorations::Radar());
    Vehicles::Car* car = addCar(glm::vec3(0, 2, 0));
    MeshHandler* carMesh = car->mesh;
    run(30);
    car->startEpicMode();
    EXPECT_FLOAT_EQ(musicPitch(), 1.3f);
    EXPECT_TRUE(renderToOffscreen && radar->visible);
    EXPECT_TRUE(car->mesh == ResourceRegistry::getMesh("meshes/bulletbill.obj") && car->scale == glm::vec3(8.0f));
    EXPECT_EQ(glm::vec3(car->maxSpeed, car->engineForce, car->steeringClamp), glm::vec3(250, 12000, 0.15f));
    car->brake(kDt);
    EXPECT_FALSE(car->braking);
    car->engineForce = 0.0f; // stays where it is while the clock runs
    float before = 0.0f;
    for (int f = 0; f < 700 && car->epic; ++f, run(1)) before = car->epicTime;
    EXPECT_TRUE(!car->epic && before <= 10.0f && car->epicTime > 10.0f) << before;
    EXPECT_FLOAT_EQ(musicPitch(), 1.0f);
    EXPECT_FALSE(renderToOffscreen || radar->visible);
    EXPECT_TRUE(car->mesh == carMesh && car->scale == glm::vec3(1.0f));
    EXPECT_EQ(glm::vec3(car->maxSpeed, car->engineForce, car->steeringClamp), glm::vec3(120, 4500, 0.25f));
}

TEST_F(VehicleTest, PowerUpCrashExplodesAtTheCarAndSparesItOnceEvenWithoutARadar) {
    addFloor();
    Vehicles::Car* car = addCar(glm::vec3(0, 2, -110));
    Vehicles::Car* bystander = addCar(glm::vec3(15, 2, 10));
    addBlock(glm::vec3(0, 1, 20), glm::vec3(6, 2, 1), 0.0f);
    run(30);
    car->startEpicMode();
    float top = 0.0f;
    for (int f = 0; f < 300 && car->epic; ++f, run(1)) top = std::max(top, kmh(car));
    ASSERT_FALSE(car->epic);
    EXPECT_TRUE(top > 200.0f && top < 275.0f) << top; // the force is cut a frame late
    auto* halo = dynamic_cast<Engine::ExplosionHalo*>(level->actors.back());
    ASSERT_NE(halo, nullptr);
    EXPECT_FLOAT_EQ(static_cast<btSphereShape*>(halo->collisionShape)->getRadius(), 30.0f);
    EXPECT_LT(glm::distance(halo->position, car->position), 1.5f);
    run(4); // the push comes with the explosion's third update
    EXPECT_FALSE(car->explosionImmune);
    EXPECT_LT(speedOf(*car), 30.0f);
    EXPECT_GT(speedOf(*bystander), 50.0f);
    level->addActor(new Engine::ExplosionHalo(30.0f, 600000.0f, car->position));
    run(4);
    EXPECT_GT(speedOf(*car), 50.0f); // spared once only
}

TEST_F(VehicleTest, UprightConstraintHoldsPitchAndRollWithinAQuarterRadian) {
    addFloor();
    Vehicles::Car* car = addCar(glm::vec3(0, 2, -100));
    addBlock(glm::vec3(1.2f, 0, -80), glm::vec3(1, 0.5f, 8), 0.0f, -15.0f); // a ramp under the left wheels only
    hold(glfw2::KEY_UP);
    float pitch = 0.0f, roll = 0.0f;
    for (int f = 0; f < 240; ++f, run(1)) {
        pitch = std::max(pitch, std::abs(std::asin(car->rotationMatrix[2].y)));
        roll = std::max(roll, std::abs(std::asin(car->rotationMatrix[0].y)));
    }
    EXPECT_GT(std::max(pitch, roll), 0.2f); // the ramp leant on the limits
    EXPECT_TRUE(pitch < 0.27f && roll < 0.27f) << pitch << ' ' << roll;
}

TEST_F(VehicleTest, CarWithoutAUsableMeshTakesTheShippedSizeAndDrives) {
    for (const char* path : {"meshes/car/car.obj", "meshes/flat.obj"}) { // missing; no z extent
        restartScene(false);
        dir->write("meshes/flat.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
        addFloor();
        Vehicles::Car* car = addCar(glm::vec3(0, 2, 0), 0.0f, path);
        EXPECT_EQ(car->scale, glm::vec3(1.0f)) << path;
        EXPECT_EQ(glm::vec3(car->width, car->height, car->length), glm::vec3(3, 2, 6)) << path;
        for (auto& wheel : car->wheels) EXPECT_EQ(wheel->scale, glm::vec3(1.0f));
        hold(glfw2::KEY_UP);
        run(90);
        EXPECT_GT(car->position.z, 5.0f) << path;
    }
}

TEST_F(VehicleTest, RemovedOrTornDownCarsLeaveTheWorldBeforeTheyAreDeleted) {
    for (bool removeFirst : {true, false}) {
        restartScene();
        addFloor();
        Journal journal;
        auto* one = new RecordingCar(journal, "one");
        auto* two = new RecordingCar(journal, "two");
        one->setPosition(glm::vec3(-10, 2, 0));
        level->addVehicle(one);
        level->addVehicle(two);
        auto* camera = new Engine::VehicleCam(0, 0, 256, 256, one);
        level->addCamera(camera);
        one->item = new Engine::Item();
        run(10);
        if (removeFirst) {
            level->removeActor(one);
            EXPECT_EQ(level->world->getNumConstraints(), 1);
            EXPECT_EQ(camera->vehicle, nullptr);
            hold(glfw2::KEY_UP); // the other car and the camera go on
            run(10);
        } else {
            two->removeRequested = true; // queued, the level goes first
            run(1);
        }
        level.reset();
        EXPECT_EQ(journal.events, (std::vector<std::string>{"one.deleted", "two.deleted"}));
    }
}

TEST(VehicleRandomTest, UnitDrawsLieInTheUnitRangeAndSpreadOverIt) {
    float low = 1.0f, high = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        const float u = Engine::Vehicle::randomUnit(), f = Engine::Vehicle::randomFloat(-2.0f, 3.0f);
        ASSERT_TRUE(u >= 0.0f && u <= 1.0f && f >= -2.0f && f <= 3.0f) << u << ' ' << f;
        low = std::min(low, u), high = std::max(high, u);
    }
    EXPECT_TRUE(low < 0.01f && high > 0.99f);
}

#define EXPECT_VEC_NEAR(a, b, tolerance) EXPECT_LT(glm::distance(a, b), tolerance)

TEST_F(VehicleTest, ChaseCameraGlidesThreeDtOfTheWayAndPageUpAndPageDownMoveItFromTheNextFrame) {
    Vehicles::Car* car = addCar(glm::vec3(10, 2, 20), 30.0f); // stands, unstepped, where it was put
    auto* camera = new Engine::VehicleCam(0, 0, 256, 256, car);
    level->addCamera(camera);
    auto target = [car](float distance, float eyeHeight) { // the negated eye point, behind the car and above
        return glm::vec3(distance * 0.5f, -eyeHeight, distance * std::sqrt(0.75f)) - car->position;
    };
    EXPECT_VEC_NEAR(camera->position, target(13, 10), 1e-4f);
    for (float dt : {1.0f / 60.0f, 0.1f, 0.5f}) { // above 1/3 s it overshoots
        const glm::vec3 away(6, -2, 3), start = camera->target + away;
        const glm::mat4 before = camera->transform;
        camera->position = start;
        camera->update(dt);
        EXPECT_VEC_NEAR(camera->position - camera->target, away * (1.0f - 3.0f * dt), 1e-4f);
        EXPECT_EQ(camera->previousPosition, start);
        EXPECT_EQ(camera->previousTransform, before); // kept like the plain camera's
    }
    for (auto [key, sign] : {std::pair{glfw2::KEY_PAGEUP, 1.0f}, {glfw2::KEY_PAGEDOWN, -1.0f}}) {
        const float distance = camera->distance, eyeHeight = camera->eyeHeight;
        hold(key);
        camera->update(0.1f);
        hold(key, false);
        EXPECT_FLOAT_EQ(camera->distance, distance + sign * 20.0f);
        EXPECT_FLOAT_EQ(camera->eyeHeight, eyeHeight + sign * 10.0f);
        EXPECT_VEC_NEAR(camera->target, target(distance, eyeHeight), 1e-4f);
        camera->update(0.1f);
        EXPECT_VEC_NEAR(camera->target, target(camera->distance, camera->eyeHeight), 1e-4f);
    }
}

TEST_F(VehicleTest, ChaseCameraFrustumOfAKnownPoseCullsByTheNearAndFarPlanesOnly) {
    auto* camera = new Engine::VehicleCam(0, 0, 256, 256, addCar(glm::vec3(0, 0, 0)));
    level->addCamera(camera);
    camera->updateTransform();
    const glm::vec3 eye(0, 10, -13), centre(0, 5, 0), up(0, 1, 0);
    EXPECT_EQ(camera->transform, camera->projection * glm::lookAt(eye, centre, up));
    const glm::vec3 Z = glm::normalize(eye - centre), X = glm::cross(up, Z), Y = glm::cross(Z, X);
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
