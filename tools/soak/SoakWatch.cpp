#include "tools/soak/SoakWatch.h"

#include <glm/glm.hpp>

#include <cmath>
#include <typeinfo>

#include "engine/Camera.h"
#include "game/EpicMode.h"
#include "game/ExplosionHalo.h"
#include "game/Mine.h"
#include "game/ParticleEmitter.h"
#include "game/Rocket.h"
#include "game/Vehicle.h"
#include "game/Wheel.h"
#include "levels/ArenaLevel.h"

namespace {

bool finiteVec(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finiteMat(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r])) return false;
    return true;
}

} // namespace

SoakWatch::SoakWatch(const Engine::ArenaLevel& level) : level(level) {}

void SoakWatch::afterFrame(long frame) {
    watchCars();
    watchExplosions();

    bool ok = true;
    for (const Engine::Actor* actor : level.actors) ok &= finite(actor, frame, "actor");
    for (const Engine::Actor* element : level.hudElements) ok &= finite(element, frame, "HUD element");
    for (const Engine::ParticleEmitter* emitter : level.emitters) {
        ok &= finite(emitter, frame, "emitter");
        for (const auto& particle : emitter->particles)
            if (particle) ok &= finite(particle.get(), frame, "particle");
    }
    for (const Engine::Camera* camera : level.cameras)
        if (!finiteMat(camera->transform) || !finiteVec(camera->position)) {
            if (firstBad.empty()) firstBad = "frame " + std::to_string(frame) + ": camera";
            ok = false;
        }
    if (!ok) ++badFrames;
}

void SoakWatch::watchCars() {
    cars.resize(level.vehicles.size());
    for (size_t i = 0; i < level.vehicles.size(); ++i) {
        const Engine::Vehicle* vehicle = level.vehicles[i];
        if (!vehicle) continue;
        Car& car = cars[i];
        const int lives = i < level.lives.size() ? level.lives[i] : 0;
        if (vehicle->item != car.item) {
            // An item that goes without a lost life was used; one that goes
            // with it was dropped.
            if (car.item && lives >= car.lives) ++used;
            if (const Engine::Item* item = vehicle->item) {
                ++pickedUp;
                if (dynamic_cast<const Engine::Rocket*>(item)) ++rockets;
                else if (dynamic_cast<const Engine::Mine*>(item)) ++mines;
                else if (dynamic_cast<const Engine::EpicMode*>(item)) ++powerUps;
            }
        }
        car.item = vehicle->item;
        car.lives = lives;
    }
}

void SoakWatch::watchExplosions() {
    std::unordered_map<const Engine::Actor*, int> now;
    for (const Engine::Actor* actor : level.actors)
        if (auto* halo = dynamic_cast<const Engine::ExplosionHalo*>(actor)) {
            const auto before = halos.find(halo);
            if (before == halos.end() || halo->countdown > before->second) ++explosions;
            now[halo] = halo->countdown;
        }
    halos.swap(now);
}

bool SoakWatch::finite(const Engine::Actor* actor, long frame, const char* where) {
    bool ok = finiteVec(actor->position) && finiteMat(actor->modelMatrix);
    if (auto* vehicle = dynamic_cast<const Engine::Vehicle*>(actor)) {
        for (const auto& wheel : vehicle->wheels)
            if (wheel) ok &= finite(wheel.get(), frame, "wheel");
        if (vehicle->item) ok &= finite(vehicle->item, frame, "carried item");
    }
    if (!ok && firstBad.empty())
        firstBad = "frame " + std::to_string(frame) + ": " + where + " " + typeid(*actor).name();
    return ok;
}
