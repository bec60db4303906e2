#pragma once
#include "decorations/Decoration.h"

namespace Decorations {

// A plastic table top: a static box of fixed size, whatever its mesh.
class PlasticTable : public Engine::Decoration {
public:
    PlasticTable();
};

} // namespace Decorations
