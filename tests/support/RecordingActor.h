#pragma once
// Actors and cars that write what happens to them into one shared journal,
// so that tests can check the order of events.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/Actor.h"
#include "game/Car.h"

namespace testsupport {

struct Journal {
    std::vector<std::string> events;
    void add(const std::string& event) { events.push_back(event); }
    int count(const std::string& event) const { return int(std::count(events.begin(), events.end(), event)); }
    // Index of the first such event, or -1.
    int indexOf(const std::string& event) const {
        const auto it = std::find(events.begin(), events.end(), event);
        return it == events.end() ? -1 : int(it - events.begin());
    }
};

// An actor with a box body (half size 1) of the given mass at a position.
// Records "<name>.update", ".render", ".hit:<other>", ".deleted" and, on
// deletion, ".bodyInWorld" when its body was still in its world.
class RecordingActor : public Engine::Actor {
public:
    RecordingActor(Journal& journal, std::string name, glm::vec3 position = glm::vec3(0.0f),
                   float mass = 1.0f, bool withShape = true);
    ~RecordingActor() override;
    void update(float dt) override;
    void render(Engine::Camera*, const glm::vec4&, const Light&, bool) override;
    void onCollision(Engine::Actor* other) override;

    Journal& journal;
    std::string name;
    // Run at the end of update / onCollision, when set.
    std::function<void(RecordingActor&)> onUpdateHook, onCollisionHook;
    // Viewport (x, y, w, h) current at each render call.
    std::vector<std::vector<int>> viewports;
};

// A real car that records "<name>.deleted" and, on deletion,
// "<name>.partsInWorld" when any of its parts was still in its world.
class RecordingCar : public Vehicles::Car {
public:
    RecordingCar(Journal& journal, std::string name);
    ~RecordingCar() override;
    Journal& journal;
    std::string name;
};

} // namespace testsupport
