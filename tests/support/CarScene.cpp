#include "tests/support/CarScene.h"

#include <AL/al.h>
#include <AL/alut.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "decorations/WoodTable.h"
#include "engine/Globals.h"

namespace testsupport {

namespace {

// Five-second tones: a source that was started is still playing when a test looks.
std::vector<unsigned> makeSounds() {
    std::vector<unsigned> sources(9, 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (alutInit(nullptr, nullptr) != AL_TRUE) return sources;
    for (unsigned& source : sources) {
        const ALuint buffer = alutCreateBufferWaveform(ALUT_WAVEFORM_SINE, 440.0f, 0.0f, 5.0f);
        alGenSources(1, &source);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    }
    return sources;
}

// The world's actions are not public; a derived class may name them.
struct ActionsOf : btDiscreteDynamicsWorld {
    static bool hold(btDynamicsWorld* world, btActionInterface* action) {
        auto& actions = static_cast<btDiscreteDynamicsWorld*>(world)->*(&ActionsOf::m_actions);
        return actions.findLinearSearch(action) < actions.size();
    }
};

} // namespace

void CarScene::setUpScene(bool meshes) {
    LevelTestBase::SetUp();
    withMeshes = meshes;
    if (withMeshes) std::filesystem::create_directory_symlink(sourcePath("meshes"), dir->path() + "/meshes");
    writeConfig("width = 256\nheight = 256\np_1_up = key_up\np_1_down = key_down\np_1_left = key_left\n"
                "p_1_right = key_right\np_1_fire = key_rctrl\np_2_up = key_w\np_2_down = key_s\n"
                "p_2_left = key_a\np_2_right = key_d\np_2_fire = key_space\n");
    resetGlobals();
    useToneSounds();
    level = std::make_unique<CarSceneLevel>();
}

void useToneSounds() {
    static const std::vector<unsigned> sounds = makeSounds();
    unsigned* globals[] = {&explodeSound, &getItemSound, &shootSound, &hitLoudSound, &hitSoftSound,
                           &menuSound,    &winSound,     &byeSound,   &bgmSound};
    for (size_t i = 0; i < sounds.size(); ++i) {
        *globals[i] = sounds[i];
        alSourceRewind(sounds[i]);
        alSourcef(sounds[i], AL_PITCH, 1.0f);
    }
}

void CarScene::TearDown() {
    level.reset();
    resetGlobals();
    LevelTestBase::TearDown();
}

Engine::Actor* CarScene::addFloor() {
    if (!withMeshes) return addBlock(glm::vec3(0, -1, 0), glm::vec3(120, 1, 120), 0.0f);
    auto* table = new Decorations::WoodTable();
    table->setPosition(glm::vec3(0, -1, 0));
    level->addActor(table);
    return table;
}

Vehicles::Car* CarScene::addCar(glm::vec3 at, float angleDegrees, const char* meshPath) {
    auto* car = new Vehicles::Car(meshPath);
    car->rotationAngle = angleDegrees;
    car->setPosition(at);
    level->addVehicle(car);
    return car;
}

Engine::Actor* CarScene::addBlock(glm::vec3 at, glm::vec3 half, float mass, float tiltDegrees) {
    auto* block = new Engine::Actor();
    block->collisionShape = new btBoxShape(btVector3(half.x, half.y, half.z));
    block->mass = mass;
    block->rotationAxis = glm::vec3(1, 0, 0);
    block->rotationAngle = tiltDegrees;
    block->setPosition(at);
    level->addActor(block);
    return block;
}

bool played(unsigned source) {
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alSourceRewind(source);
    return state == AL_PLAYING;
}

int partsInWorld(btDynamicsWorld* world, const Engine::Vehicle& vehicle) {
    const auto& objects = world->getCollisionObjectArray();
    int parts = objects.findLinearSearch(vehicle.rigidBody) < objects.size() ? 1 : 0;
    for (int i = 0; i < world->getNumConstraints(); ++i)
        parts += world->getConstraint(i) == vehicle.uprightConstraint.get() ? 1 : 0;
    return parts + (ActionsOf::hold(world, vehicle.raycastVehicle.get()) ? 1 : 0);
}

float headingDegrees(const Engine::Actor& actor) {
    return glm::degrees(std::atan2(actor.rotationMatrix[2].x, actor.rotationMatrix[2].z));
}

float speedOf(const Engine::Actor& actor) {
    return actor.rigidBody ? actor.rigidBody->getLinearVelocity().length() : 0.0f;
}

void moveBody(Engine::Actor* actor, glm::vec3 to) {
    btTransform t;
    t.setIdentity();
    t.setOrigin(btVector3(to.x, to.y, to.z));
    actor->rigidBody->proceedToTransform(t);
}

} // namespace testsupport
