#pragma once
// The game's random draws are meant on 0..32767, while the C library's
// generator here reaches 2147483647: every draw takes the low 15 bits of
// one `rand`, so the generator stays the one source (seeded by nothing in
// the program) and the draws keep their intended range.
#include <cstdlib>

namespace Engine {

inline int randomDraw15() {
    return std::rand() & 0x7FFF;
}

} // namespace Engine
