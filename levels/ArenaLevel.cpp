#include "levels/ArenaLevel.h"

#include <AL/al.h>

#include "decorations/HelpScreen.h"
#include "decorations/P1WinScreen.h"
#include "decorations/P2WinScreen.h"
#include "decorations/Radar.h"
#include "decorations/Text.h"
#include "engine/Config.h"
#include "engine/Globals.h"
#include "engine/HUDCamera.h"
#include "engine/Log.h"
#include "game/Car.h"
#include "game/VehicleCam.h"

namespace Engine {

ArenaLevel::ArenaLevel() = default;

ArenaLevel::~ArenaLevel() = default;

void ArenaLevel::addVehicle(Vehicle* vehicle) {
    Level::addVehicle(vehicle);
    lives.push_back(startLives);
}

void ArenaLevel::onVehicleLost(Vehicle* vehicle) {
    if (!vehicle) return;
    for (int i = static_cast<int>(vehicles.size()) - 1; i >= 0; --i) {
        if (vehicles[i] != vehicle) continue;
        // A vehicle added through the base operation alone has no counter.
        if (static_cast<size_t>(i) >= lives.size()) return;
        lives[i] -= 1;
        log("ArenaLevel: Player ");
        log(i + 1);
        log(" has ");
        log(lives[i]);
        log(" life(s) left.\n");
        return;
    }
}

Actor* ArenaLevel::addActorAt(Actor* actor, glm::vec3 at) {
    actor->setPosition(at);
    addActor(actor);
    return actor;
}

void ArenaLevel::addPlayers() {
    // The car's body starts where it is placed and turned before it is added.
    auto* player1 = new Vehicles::Car("meshes/car/car.obj");
    player1->setPosition(glm::vec3(90.0f, 2.0f, -90.0f));
    player1->rotationAngle = -45.0f;
    player1->rotationAxis = glm::vec3(0.0f, 1.0f, 0.0f);
    addVehicle(player1);
    int w = Config::getInt("width"), h = Config::getInt("height");
    addCamera(new VehicleCam(0, h / 2, w, h / 2, player1));

    auto* player2 = new Vehicles::Car("meshes/car/car_green.obj");
    player2->rotationAngle = 135.0f;
    player2->rotationAxis = glm::vec3(0.0f, 1.0f, 0.0f);
    player2->setPosition(glm::vec3(-90.0f, 2.0f, 90.0f));
    addVehicle(player2);
    w = Config::getInt("width");
    h = Config::getInt("height");
    addCamera(new VehicleCam(0, 0, w, h / 2, player2));
}

void ArenaLevel::addWindowHUDCamera() {
    setHUDCamera(new HUDCamera(0, 0, Config::getInt("width"), Config::getInt("height")));
}

Decorations::Text* ArenaLevel::addText(glm::vec3 at, float size, glm::vec4 color,
                                       const char* text) {
    auto* element = new Decorations::Text();
    element->setPosition(at);
    element->setScale(size);
    element->setColor(color);
    if (text) element->setText(text);
    addHUDElement(element);
    return element;
}

void ArenaLevel::addOverlays(Decorations::Radar*& radarOut, Decorations::HelpScreen*& helpOut) {
    // The radar keeps what its constructor gives it: hidden, drawn into the
    // window, in texture mode 3.
    radarOut = new Decorations::Radar();
    radarOut->setPosition(glm::vec3(0.0f, 0.0f, 1.0f));
    radarOut->setScale(1.0f);
    addHUDElement(radarOut);
    radar = radarOut;

    helpOut = new Decorations::HelpScreen();
    helpOut->setPosition(glm::vec3(0.0f, 0.0f, 3.0f));
    helpOut->setScale(1.0f);
    helpOut->textureMode2 = false;
    helpOut->visible = false;
    addHUDElement(helpOut);
    helpScreen = helpOut;
}

void ArenaLevel::applyOutRule(bool& player1Out, bool& player2Out) {
    if (lives.size() > 0 && lives[0] == 0) {
        player1Out = true;
        lives[0] = -1;
    }
    if (lives.size() > 1 && lives[1] == 0) {
        player2Out = true;
        lives[1] = -1;
    }
    // When both went out in one frame, the second screen comes next frame.
    Actor* screen = nullptr;
    if (player2Out) {
        screen = new Decorations::P1WinScreen();
        player2Out = false;
    } else if (player1Out) {
        screen = new Decorations::P2WinScreen();
        player1Out = false;
    }
    if (!screen) return;
    screen->textureMode2 = false;
    screen->setPosition(glm::vec3(0.0f, 0.0f, 5.0f));
    screen->setScale(1.0f);
    addHUDElement(screen);
    alSourceStop(bgmSound);
    alSourcePlay(winSound);
}

void ArenaLevel::showLives(Decorations::Text* const texts[2], const std::string& prefix) {
    for (size_t i = 0; i < 2 && i < lives.size(); ++i)
        if (texts[i]) texts[i]->setText(prefix + std::to_string(lives[i]) + " ");
}

void ArenaLevel::countFrameRate(float dt, Decorations::Text* text) {
    fpsTime += dt;
    fpsFrames += 1;
    if (fpsTime > 0.5f) {
        if (text) text->setText(std::to_string(fpsFrames * 2) + " fps");
        fpsTime = 0.0f;
        fpsFrames = 0;
    }
}

} // namespace Engine
