#include "tools/soak/RandomDriver.h"

#include <algorithm>

#include "engine/Level.h"
#include "platform/Glfw2.h"

RandomDriver::RandomDriver(unsigned seed, const Engine::Level& level) : random(seed) {
    const size_t count = std::min({level.upKeys.size(), level.downKeys.size(),
                                   level.leftKeys.size(), level.rightKeys.size(),
                                   level.fireKeys.size()});
    for (size_t i = 0; i < count; ++i)
        players.push_back({level.upKeys[i], level.downKeys[i], level.leftKeys[i],
                           level.rightKeys[i], level.fireKeys[i]});
}

void RandomDriver::step(float dt) {
    for (Player& player : players) {
        player.holdLeft -= dt;
        if (player.holdLeft > 0.0f) continue;
        player.holdLeft = std::uniform_real_distribution<float>(0.2f, 2.0f)(random);
        draw(player);
    }
}

void RandomDriver::draw(const Player& player) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    // Mostly forward, so the cars reach the boxes and the edges; sometimes
    // braking into reverse; fire held now and then, which uses an item as
    // soon as one is carried.
    const bool up = unit(random) < 0.65f;
    const bool down = !up && unit(random) < 0.6f;
    const float side = unit(random);
    const bool fire = unit(random) < 0.25f;
    glfw2::seam::setKey(player.up, up);
    glfw2::seam::setKey(player.down, down);
    glfw2::seam::setKey(player.left, side < 0.3f);
    glfw2::seam::setKey(player.right, side > 0.7f);
    glfw2::seam::setKey(player.fire, fire);
}
