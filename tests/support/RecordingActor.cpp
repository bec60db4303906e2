#include "tests/support/RecordingActor.h"

#include <GL/glew.h>

#include "tests/support/CarScene.h"

namespace testsupport {

RecordingActor::RecordingActor(Journal& journal, std::string name, glm::vec3 start, float bodyMass,
                               bool withShape)
    : journal(journal), name(std::move(name)) {
    position = start;
    mass = bodyMass;
    if (withShape) collisionShape = new btBoxShape(btVector3(1, 1, 1));
    updateModelMatrix();
}

RecordingActor::~RecordingActor() {
    if (rigidBody && world) {
        const auto& objects = world->getCollisionObjectArray();
        if (objects.findLinearSearch(rigidBody) < objects.size()) journal.add(name + ".bodyInWorld");
    }
    journal.add(name + ".deleted");
}

void RecordingActor::update(float) {
    journal.add(name + ".update");
    if (onUpdateHook) onUpdateHook(*this);
}

void RecordingActor::render(Engine::Camera*, const glm::vec4&, const Light&, bool) {
    journal.add(name + ".render");
    GLint v[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, v);
    viewports.push_back({v[0], v[1], v[2], v[3]});
}

void RecordingActor::onCollision(Engine::Actor* other) {
    auto* recorded = dynamic_cast<RecordingActor*>(other);
    journal.add(name + ".hit:" + (recorded ? recorded->name : std::string("?")));
    if (onCollisionHook) onCollisionHook(*this);
}

RecordingCar::RecordingCar(Journal& journal, std::string name)
    : Vehicles::Car("meshes/car/car.obj"), journal(journal), name(std::move(name)) {}

RecordingCar::~RecordingCar() {
    if (world && partsInWorld(world, *this) > 0) journal.add(name + ".partsInWorld");
    journal.add(name + ".deleted");
}

} // namespace testsupport
