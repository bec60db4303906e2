#pragma once
#include "engine/Actor.h"

namespace Engine {

// A small billboard actor that lives for a set time and fades out through
// the alpha of its colour bias over the last `fadeTime` seconds.
class Particle : public Actor {
public:
    Particle();

    // Counts the life down and fades; once the life is below 0 the particle
    // asks to be removed.
    void update(float dt) override;
    // Depth of the particle in the camera's view, before the perspective
    // divide.
    float viewDepth(Camera* camera) const;

    // A bare particle gets one full fade before it goes; makers set their own.
    float remainingLife = 10.0f;
    float fadeTime = 10.0f;
};

} // namespace Engine
