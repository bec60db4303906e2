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

    // The actor's position and rotation (degrees about its axis) as a
    // physics transform, and back; the shared conversion of every motion
    // state that moves an actor.
    static void transformOf(const Actor& actor, btTransform& worldTrans);
    static void applyTransform(Actor& actor, const btTransform& worldTrans);

    Actor* actor; // not owned
};

} // namespace Engine
