#pragma once
// The model matrix of an actor that spins about the vertical on top of its
// own rotation (mines and pick-up boxes): translate, rotate, spin, scale.
#include "engine/Actor.h"
#include "engine/Degrees.h"

namespace Engine {

inline void buildSpinningModelMatrix(Actor& actor, float spinAngleDegrees) {
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    // A zero axis names no rotation (normalising it would give NaNs).
    const bool turns = glm::dot(actor.rotationAxis, actor.rotationAxis) > 0.0f;
    glm::mat4 rotation(1.0f);
    if (turns) rotation = deg::rotate(rotation, actor.rotationAngle, actor.rotationAxis);
    actor.rotationMatrix = deg::rotate(rotation, spinAngleDegrees, up);
    glm::mat4 model = glm::translate(glm::mat4(1.0f), actor.position + actor.offset);
    if (turns) model = deg::rotate(model, actor.rotationAngle, actor.rotationAxis);
    model = deg::rotate(model, spinAngleDegrees, up);
    actor.modelMatrix = glm::scale(model, actor.scale);
    actor.onTransformChanged();
}

} // namespace Engine
