#pragma once
#include "decorations/Decoration.h"

class FaceGroup;

namespace Decorations {

// Head-up-display quad over the whole window that shows the off-screen
// colour texture (the power-up view). Hidden until power-up mode shows it;
// never drawn off-screen itself.
class Radar : public Engine::Decoration {
public:
    Radar();
    // The radar's mesh is its own, not the registry's.
    ~Radar() override;

    FaceGroup* faceGroup = nullptr; // the one group of the radar's own mesh
};

} // namespace Decorations
