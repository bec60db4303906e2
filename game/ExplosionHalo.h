#pragma once
#include <vector>

#include <glm/glm.hpp>

#include "game/CollisionHalo.h"
#include "game/ExplosionListItem.h"

namespace Engine {

// An explosion: for three of its own updates it records every movable body
// it overlaps with a push away from its centre, with sound, flames and smoke
// for each contact; on the third update it pushes them all at once and asks
// to be removed.
class ExplosionHalo : public CollisionHalo {
public:
    ExplosionHalo(float radius, float strength, glm::vec3 centre);
    ~ExplosionHalo() override;

    void onCollision(Actor* other) override;
    void update(float dt) override;

    int countdown = 3;
    bool done = false;
    // Kept as given; the push does not follow it.
    float strength;
    std::vector<ExplosionListItem> hits; // in the order of first contact

private:
    bool recorded(const Actor* actor) const;
    // Bodies that never get a record: static ones, and the kinds the game
    // deletes during play.
    static bool skipped(Actor* other);
    // Still held by the level: only such an actor is pushed.
    bool stillInLevel(const Actor* actor) const;
};

} // namespace Engine
