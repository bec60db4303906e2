#include "decorations/P2WinScreen.h"

namespace Decorations {

P2WinScreen::P2WinScreen() {
    useMesh("meshes/p2leet.obj", 0.0f, 1.0f);
}

} // namespace Decorations
