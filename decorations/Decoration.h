#pragma once
#include <string>

#include "engine/Actor.h"

class MeshHandler;

namespace Engine {

// Base of the arena's furniture and the head-up display's pictures: an actor
// that does nothing of its own each frame.
class Decoration : public Actor {
public:
    Decoration();
    ~Decoration() override;

    void update(float dt) override;

    // True when the mesh was loaded and holds at least one vertex with
    // finite bounds: only then can a collision shape be sized from it.
    static bool hasGeometry(const MeshHandler* mesh);

protected:
    // The settings every mesh decoration starts with: the registry's mesh
    // of the file, the mass and the uniform scale.
    void useMesh(const std::string& meshFile, float newMass, float newScale);
    // A box of half extents getSize, or null when the mesh gives nothing
    // to size it from (the decoration then gets no body and is only drawn).
    btCollisionShape* makeBox();
};

} // namespace Engine
