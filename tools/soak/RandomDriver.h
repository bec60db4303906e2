#pragma once
#include <random>
#include <vector>

namespace Engine { class Level; }

// Both players' controls as a seeded random walk: every player holds one
// combination of accelerate or brake, a steering side or none, and fire, for
// a random time between 0.2 and 2 s, then draws the next. The keys are the
// ones the level bound for each player, pressed through the platform layer's
// key seam, so the level's own input mapping reads them.
class RandomDriver {
public:
    RandomDriver(unsigned seed, const Engine::Level& level);
    // Advances the holds by dt and sets the keys for the coming frame.
    void step(float dt);

private:
    struct Player {
        int up, down, left, right, fire;
        float holdLeft = 0.0f;
    };
    void draw(const Player& player);

    std::mt19937 random;
    std::vector<Player> players;
};
