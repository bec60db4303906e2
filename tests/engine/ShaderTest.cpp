// Shaders, shader programs and the resource registry against a real OpenGL
// context: what is logged, in which order, and what is cached.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "engine/ShaderHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/ScopedWorkDir.h"

namespace {

const char* kGoodFrag = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";

// Works in "<scene>/a/b/c": files in "<scene>/a/b" are found only through
// "../", and the scene's own shaders three levels up are never reached.
class ShaderTest : public testsupport::DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        if (!scene) return;
        work = std::make_unique<testsupport::ScopedWorkDir>(scene->dir.path() + "/a/b/c");
        // The position declared last: the driver would give it location 2.
        write("shader/good.vert", "#version 120\nattribute vec2 uv;\nattribute vec3 normal;\nattribute vec4 vertex;\n"
                                  "varying vec3 c;\nvoid main() { c = normal + vec3(uv, 0.0); gl_Position = vertex; }\n");
        write("shader/good.frag", kGoodFrag);
    }
    void TearDown() override {
        work.reset();
        DrawingTest::TearDown();
    }
    void write(const std::string& rel, const std::string& text) { scene->dir.write("a/b/c/" + rel, text); }
    // What was logged since the last call.
    std::string logText() {
        Log::destroy();
        const std::string text = scene->dir.read("a/b/c/qelm.log");
        std::remove("qelm.log");
        return text;
    }
    bool build(ShaderProgramHandler& program, ShaderHandler& vert, ShaderHandler& frag) {
        program.addShader(&vert);
        program.addShader(&frag);
        return program.build();
    }
    static std::string builtLine(GLuint p) {
        return "ShaderProgramHandler: shader program built (" + std::to_string(p) + ")\n";
    }
    std::unique_ptr<testsupport::ScopedWorkDir> work;
};

TEST_F(ShaderTest, GoodShadersLinkWithThePositionAtAttributeZeroAndAreReleased) {
    GLuint shaderId = 0, programId = 0;
    {
        ShaderHandler vert("shader/good.vert"), frag("shader/good.frag");
        EXPECT_TRUE(vert.type == GL_VERTEX_SHADER && frag.type == GL_FRAGMENT_SHADER);
        ShaderProgramHandler program;
        EXPECT_TRUE(build(program, vert, frag) && program.linked);
        // Compatibility contexts draw only with attribute 0 enabled.
        EXPECT_EQ(glGetAttribLocation(program.program, "vertex"), 0);
        EXPECT_EQ(logText(), "ShaderHandler: shader compiled (shader/good.vert)\n"
                             "ShaderHandler: shader compiled (shader/good.frag)\n" + builtLine(program.program));
        shaderId = vert.id, programId = program.program;
    }
    EXPECT_FALSE(glIsShader(shaderId) || glIsProgram(programId)) << "released";
}

// The text is the head, the driver's non-empty log (text, no terminating
// zero), then the tail.
void expectFramed(const std::string& text, const std::string& head, const std::string& tail) {
    ASSERT_GT(text.size(), head.size() + tail.size()) << text;
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST_F(ShaderTest, CompileAndLinkErrorsAreLoggedAndTheProgramStillBuilt) {
    write("shader/bad.frag", "#version 120\nvoid main() { gl_FragColor = vec4(1.0) }\n");
    // Compiles, but the function is never defined: only the link fails.
    write("shader/unlinkable.frag", "#version 120\nvec4 f();\nvoid main() { gl_FragColor = f(); }\n");
    ShaderHandler vert("shader/good.vert"), bad("shader/bad.frag"), unlinkable("shader/unlinkable.frag");
    EXPECT_EQ(bad.id, 0u);
    ASSERT_NE(unlinkable.id, 0u);
    ShaderProgramHandler program, broken;
    EXPECT_TRUE(build(program, vert, bad));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the failed shader is not attached";
    expectFramed(logText(), "ShaderHandler: shader compiled (shader/good.vert)\n"
                            "ShaderHandler: compile error (shader/bad.frag):\n   ",
                 "\nShaderHandler: shader compiled (shader/bad.frag)\n"
                 "ShaderHandler: shader compiled (shader/unlinkable.frag)\n" + builtLine(program.program));
    EXPECT_TRUE(build(broken, vert, unlinkable));
    EXPECT_NE(broken.program, 0u);
    EXPECT_FALSE(broken.linked) << "drawing must know";
    expectFramed(logText(), "ShaderProgramHandler: build error:\n   ", "\n" + builtLine(broken.program));
}

TEST_F(ShaderTest, RegistryBuildsSimpleOnceFromTheShaderThereIs) {
    write("shader/simple.frag", kGoodFrag);
    ShaderProgramHandler* program = ResourceRegistry::getProgram("simple");
    ASSERT_NE(program, nullptr);
    ASSERT_EQ(program->shaders->size(), 1u) << "only the shader that exists is attached";
    const std::string text = logText();
    EXPECT_NE(text.find("ResourceRegistry: shader file not found (shader/simple.vert)\n"), std::string::npos) << text;
    EXPECT_NE(text.find(builtLine(program->program)), std::string::npos) << text;

    EXPECT_EQ(ResourceRegistry::getProgram("simple"), program);
    EXPECT_EQ(ResourceRegistry::getProgram("Simple"), nullptr);
    EXPECT_EQ(logText(), "") << "built once; a wrong name loads nothing";
}

TEST_F(ShaderTest, RegistryCachesShadersAndMeshesByFoundPath) {
    scene->dir.write("a/b/shader/one.vert", "#version 120\nvoid main() { gl_Position = vec4(0.0); }\n");
    ShaderHandler* viaSearch = ResourceRegistry::getShader("shader/one.vert");
    ASSERT_NE(viaSearch, nullptr);
    EXPECT_EQ(ResourceRegistry::getShader("../shader/one.vert"), viaSearch);
    EXPECT_EQ(ResourceRegistry::getShader("shader/none.vert"), nullptr);
    EXPECT_EQ(ResourceRegistry::instance->shaders->size(), 1u) << "a missing file is not stored";
    EXPECT_EQ(logText(), "ShaderHandler: shader compiled (../shader/one.vert)\n");

    // Missing: named once however often it is asked for, and not stored.
    EXPECT_EQ(ResourceRegistry::getMesh("m/none.obj"), nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("m/none.obj"), nullptr);
    EXPECT_TRUE(ResourceRegistry::instance->meshes->empty());
    EXPECT_EQ(logText(), "ResourceRegistry: mesh file not found (m/none.obj)\n");
    scene->dir.write("a/b/m/tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    MeshHandler* mesh = ResourceRegistry::getMesh("m/tri.obj");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("../m/tri.obj"), mesh);
    EXPECT_EQ(logText(), "Loading... ../m/tri.obj\n");
    ASSERT_TRUE(mesh->hasFaceGroup("default"));
    for (GLuint buffer : mesh->getFaceGroup("default")->vbo) EXPECT_NE(buffer, 0u) << "buffers made";
    // A file without faces is stored, named once and not read again.
    write("m/empty.obj", "v 1 2 3\nusemtl x\n");
    MeshHandler* empty = ResourceRegistry::getMesh("m/empty.obj");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("m/empty.obj"), empty);
    EXPECT_EQ(logText(), "Loading... m/empty.obj\nResourceRegistry: mesh file holds no faces (m/empty.obj)\n");
}

} // namespace
