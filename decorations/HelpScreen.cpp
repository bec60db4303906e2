#include "decorations/HelpScreen.h"

namespace Decorations {

HelpScreen::HelpScreen() {
    useMesh("meshes/helpscreen.obj", 0.0f, 1.0f);
}

} // namespace Decorations
