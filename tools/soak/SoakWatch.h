#pragma once
#include <string>
#include <unordered_map>
#include <vector>

namespace Engine {
class Actor;
class ArenaLevel;
class Item;
} // namespace Engine

// Looks at an arena level after every frame and counts what the match did:
// items picked up (by kind) and used, explosions, and transforms that are no
// longer finite. It only reads the level.
class SoakWatch {
public:
    explicit SoakWatch(const Engine::ArenaLevel& level);
    void afterFrame(long frame);

    long pickedUp = 0;
    long rockets = 0, mines = 0, powerUps = 0; // picked up, by kind
    long used = 0;
    long explosions = 0;
    // Frames with at least one NaN or infinite position or matrix, and the
    // first one seen.
    long badFrames = 0;
    std::string firstBad;

private:
    struct Car {
        const Engine::Item* item = nullptr;
        int lives = 0;
    };
    void watchCars();
    void watchExplosions();
    // Checks the actor, its wheels, carried item or particles; false and a
    // note in `firstBad` (once) when something is not finite.
    bool finite(const Engine::Actor* actor, long frame, const char* where);

    const Engine::ArenaLevel& level;
    std::vector<Car> cars;
    // Live explosions with the countdown each had last frame: a halo is new
    // when it was not there or its countdown went up (a new one at a freed
    // address).
    std::unordered_map<const Engine::Actor*, int> halos;
};
