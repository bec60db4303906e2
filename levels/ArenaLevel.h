#pragma once
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "engine/Level.h"

namespace Decorations {
class HelpScreen;
class Radar;
class Text;
} // namespace Decorations

namespace Engine {

// Base of the two-player arena levels: one lives counter per vehicle,
// counted down (without a floor) each time that vehicle leaves the arena.
// Also holds the pieces the arenas build and rule alike: the players with
// their chase cameras, the HUD camera, the overlays, the win screens and the
// frame-rate display.
class ArenaLevel : public Level {
public:
    ArenaLevel();
    ~ArenaLevel() override;

    // Adds the vehicle as the next player, with `startLives` lives.
    void addVehicle(Vehicle* vehicle) override;
    // Takes one life from the vehicle and logs what is left; a vehicle the
    // level does not hold changes nothing.
    void onVehicleLost(Vehicle* vehicle) override;

    int startLives = 5;
    // Entry i belongs to the vehicle at index i of `vehicles`.
    std::vector<int> lives;

protected:
    // Places the actor and adds it to the world.
    Actor* addActorAt(Actor* actor, glm::vec3 at);
    // Player 1's car and its chase camera over the upper half of the window,
    // then player 2's over the lower half, both facing the table's centre.
    void addPlayers();
    // The HUD camera over the whole window.
    void addWindowHUDCamera();
    // A HUD text placed at `at` with the glyph size `size`, coloured, showing
    // `text` (nothing for null) and handed to the HUD.
    Decorations::Text* addText(glm::vec3 at, float size, glm::vec4 color, const char* text);
    // The radar and the help screen over the whole HUD, both hidden; they
    // become the ones that power-up mode and F1 switch.
    void addOverlays(Decorations::Radar*& radarOut, Decorations::HelpScreen*& helpOut);
    // A player whose counter has reached 0 is out (the counter becomes -1,
    // so this happens once); then at most one win screen per call, for the
    // other player, with the music stopped and the win sound played.
    void applyOutRule(bool& player1Out, bool& player2Out);
    // Each player's text shows prefix, the counter and one blank.
    void showLives(Decorations::Text* const texts[2], const std::string& prefix);
    // Counts the frame; past half a second the text shows twice the frames
    // counted and the count starts again.
    static void countFrameRate(float dt, Decorations::Text* text);
};

} // namespace Engine
