#pragma once
#include <btBulletDynamicsCommon.h>

namespace Engine {

class Actor;

// Hands the physics world an actor's transform when its body is built, and
// writes the simulated transform back into the actor after each step.
class GenericMotionState : public btMotionState {
public:
    explicit GenericMotionState(Actor* actor);
    ~GenericMotionState() override;

    void getWorldTransform(btTransform& worldTrans) const override;
    void setWorldTransform(const btTransform& worldTrans) override;

    Actor* actor; // not owned
};

} // namespace Engine
