#include "tests/support/ArenaScene.h"

#include <GL/glew.h>
#include <AL/al.h>

#include <filesystem>
#include <typeinfo>

#include <gtest/gtest.h>

#include "decorations/Text.h"
#include "engine/Actor.h"
#include "engine/FaceGroup.h"
#include "engine/Globals.h"
#include "engine/Level.h"
#include "engine/ResourceRegistry.h"
#include "engine/Startup.h"
#include "tests/support/CarScene.h"

namespace fs = std::filesystem;

namespace testsupport {

void ArenaScene::SetUp() {
    LevelTestBase::SetUp();
    for (const char* data : {"meshes", "external", "shader"})
        fs::create_directory_symlink(sourcePath(data), dir->path() + "/" + data);
    writeConfig("width = 256\nheight = 256\np_1_up = key_up\np_1_down = key_down\np_1_left = key_left\n"
                "p_1_right = key_right\np_1_fire = key_rctrl\np_2_up = key_w\np_2_down = key_s\n"
                "p_2_left = key_a\np_2_right = key_d\np_2_fire = key_space\n");
    ResourceRegistry::resetForTests();
    resetGlobals();
    createOffscreenFramebuffer(256, 256);
    useToneSounds();
    alSourcei(bgmSound, AL_LOOPING, 1);
    alSourcePlay(bgmSound);
    while (glGetError() != GL_NO_ERROR) {}
}

void ArenaScene::TearDown() {
    glDeleteFramebuffers(1, &offscreenFramebuffer);
    glDeleteTextures(1, &offscreenColorTexture);
    glDeleteRenderbuffers(1, &offscreenDepthBuffer);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    resetGlobals();
    ResourceRegistry::resetForTests();
    LevelTestBase::TearDown();
}

void run(Engine::Level& level, int frames, float dt) {
    for (int i = 0; i < frames; ++i) level.update(dt);
}

bool shows(const Decorations::Text* text, const std::string& expected) {
    Decorations::Text probe;
    probe.setScale(text->scale.x);
    probe.setText(expected);
    return *probe.faceGroup->vertices == *text->faceGroup->vertices &&
           *probe.faceGroup->texCoords == *text->faceGroup->texCoords;
}

int count(const std::list<Engine::Actor*>& list, const std::string& type, const char* text) {
    int n = 0;
    for (Engine::Actor* actor : list) {
        const std::string name = typeid(*actor).name(); // ends in the class name and "E"
        auto* t = dynamic_cast<Decorations::Text*>(actor);
        n += name.size() > type.size() && name.compare(name.size() - type.size() - 1, type.size(), type) == 0 &&
             (!text || (t && shows(t, text)));
    }
    return n;
}

void expectPlaced(const std::list<Engine::Actor*>& actors, const std::vector<Placed>& table) {
    ASSERT_EQ(actors.size(), table.size());
    auto row = table.begin();
    for (Engine::Actor* actor : actors) {
        EXPECT_EQ(count({actor}, row->type), 1) << row->type << " at " << row - table.begin();
        EXPECT_EQ(actor->position, row->at) << row->type;
        EXPECT_FLOAT_EQ(row->scale ? row->scale : actor->scale.x, actor->scale.x) << row->type;
        ++row;
    }
}

} // namespace testsupport
