#include "decorations/Decoration.h"

namespace Engine {

Decoration::Decoration() = default;

Decoration::~Decoration() = default;

void Decoration::update(float) {}

} // namespace Engine
