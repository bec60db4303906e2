#include "decorations/P1WinScreen.h"

namespace Decorations {

P1WinScreen::P1WinScreen() {
    useMesh("meshes/p1leet.obj", 0.0f, 1.0f);
}

} // namespace Decorations
