#pragma once
#include "engine/Level.h"

namespace Levels {

// A level for trying out the scene: a static GameBoy, a bare particle and
// the radar quad (which stays hidden), under a plain turning camera.
// Start-up never builds it; the off-screen framebuffer must exist first.
class Testlevel : public Engine::Level {
public:
    Testlevel();
    ~Testlevel() override;
};

} // namespace Levels
