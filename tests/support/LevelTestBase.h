#pragma once
// Fixture for tests that build levels: an OpenGL context (actors need the
// shader program), a fresh working directory with its own "qelm.conf", and
// the configuration, log, joysticks and faked devices reset afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/Config.h"
#include "engine/JoyInput.h"
#include "engine/Log.h"
#include "platform/Glfw2.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

namespace testsupport {

class LevelTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        dir = std::make_unique<TempDir>();
        writeConfig("width = 256\nheight = 256\n");
    }

    void TearDown() override {
        Config::destroy();
        JoyInput::reset();
        glfw2::seam::reset();
        glfw2::seam::setHiddenWindows(true);
        Log::destroy();
        dir.reset();
    }

    // Replaces "qelm.conf"; the next query reads it.
    void writeConfig(const std::string& text) {
        Config::destroy();
        dir->write("qelm.conf", text);
    }

    std::unique_ptr<TempDir> dir;
};

} // namespace testsupport
