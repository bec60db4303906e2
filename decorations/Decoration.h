#pragma once
#include "engine/Actor.h"

namespace Engine {

// Base of the arena's furniture and the head-up display's pictures: an actor
// that does nothing of its own each frame.
class Decoration : public Actor {
public:
    Decoration();
    ~Decoration() override;

    void update(float dt) override;
};

} // namespace Engine
