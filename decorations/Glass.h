#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A drinking glass whose box follows its transform: every rebuild of the
// model matrix makes a new box of the current size. A body keeps the box it
// was built with.
class Glass : public Engine::Decoration {
public:
    Glass();
    ~Glass() override;

    void onTransformChanged() override;

private:
    // The body's box once a newer one stands in collisionShape; owned.
    btCollisionShape* bodyShape = nullptr;
};

} // namespace Decorations
