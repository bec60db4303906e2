#include "decorations/LoadingScreen.h"

namespace Decorations {

LoadingScreen::LoadingScreen() {
    useMesh("meshes/loadingscreen.obj", 0.0f, 1.0f);
}

} // namespace Decorations
