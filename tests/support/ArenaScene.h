#pragma once
// Fixture for the arena levels: the shipped meshes, font and shaders in a
// fresh working directory, both players' keys, the off-screen framebuffer,
// and the sounds as tones, the music playing as start-up leaves it.
#include <list>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "tests/support/LevelTestBase.h"

namespace Decorations { class Text; }
namespace Engine { class Actor; class Level; }

namespace testsupport {

constexpr float kDt = 1.0f / 60.0f;

class ArenaScene : public LevelTestBase {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string logText() const { return dir->read("qelm.log"); }
};

void run(Engine::Level& level, int frames, float dt = kDt);
// Whether the element shows exactly this text (same glyphs, same size).
bool shows(const Decorations::Text* text, const std::string& expected);
// Elements whose class name ends in `type` and, when given, show the text.
int count(const std::list<Engine::Actor*>& list, const std::string& type, const char* text = nullptr);

// Class (the end of its name), position, uniform scale (0: the object's own).
struct Placed {
    std::string type;
    glm::vec3 at;
    float scale;
};
// The actors are those of the table, in its order.
void expectPlaced(const std::list<Engine::Actor*>& actors, const std::vector<Placed>& table);

} // namespace testsupport
