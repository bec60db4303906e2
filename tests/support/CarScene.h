#pragma once
// Fixture for the game's tests: a level with a real physics world, the table
// (or a floor box without the meshes), cars, fixed 1/60 s frames, both
// players' keys through the platform layer's seam, sounds on a null device.
#include <memory>
#include <vector>

#include "engine/Level.h"
#include "game/Car.h"
#include "platform/Glfw2.h"
#include "tests/support/LevelTestBase.h"

namespace testsupport {

// A level that remembers the cars it was told it lost.
struct CarSceneLevel : Engine::Level {
    void onVehicleLost(Engine::Vehicle* vehicle) override { lost.push_back(vehicle); }
    std::vector<Engine::Vehicle*> lost;
};

class CarScene : public LevelTestBase {
protected:
    static constexpr float kDt = 1.0f / 60.0f;

    void SetUp() override { setUpScene(true); }
    void TearDown() override;
    void setUpScene(bool withMeshes);
    // A fresh scene in a fresh directory, for tests that run several.
    void restartScene(bool meshes = true) {
        TearDown();
        setUpScene(meshes);
    }
    // The table's top face at y = 0, 120 to each side.
    Engine::Actor* addFloor();
    Vehicles::Car* addCar(glm::vec3 at, float angleDegrees = 0.0f, const char* meshPath = "meshes/car/car.obj");
    // Mass 0 makes a static box; it may be tilted about the x axis.
    Engine::Actor* addBlock(glm::vec3 at, glm::vec3 halfExtents, float mass, float tiltDegrees = 0.0f);
    void run(int frames) {
        for (int i = 0; i < frames; ++i) level->update(kDt);
    }
    void hold(int key, bool down = true) { glfw2::seam::setKey(key, down); }

    bool withMeshes = true;
    std::unique_ptr<CarSceneLevel> level;
};

// The game's nine sounds as five-second tones, made once per program, rewound.
void useToneSounds();
// Whether the source was started since the last look; rewinds it.
bool played(unsigned source);
// How many of the car's chassis, raycast vehicle and upright constraint are in the world.
int partsInWorld(btDynamicsWorld* world, const Engine::Vehicle& vehicle);
// Heading of the actor's forward axis (+z) about the vertical, in degrees.
float headingDegrees(const Engine::Actor& actor);
float speedOf(const Engine::Actor& actor);
// Puts the actor's body there, unturned; the actor follows after the next step.
void moveBody(Engine::Actor* actor, glm::vec3 to);

} // namespace testsupport
