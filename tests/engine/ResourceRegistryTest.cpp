// The resource registry: one entry per found path, the one program
// "simple", and what is logged when loading.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "engine/ShaderHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"
#include "tests/support/TexturedQuad.h"

using testsupport::ScopedWorkDir;
using testsupport::TempDir;

namespace {

// Works in "<temp>/a/b" so that files in "<temp>/a" are found only through
// "../" and nothing outside the temp dir is ever reached.
class ResourceRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResourceRegistry::resetForTests();
        Log::destroy();
        work = std::make_unique<ScopedWorkDir>(dir.path() + "/a/b");
    }
    void TearDown() override {
        ResourceRegistry::resetForTests();
        Log::destroy();
        work.reset();
    }
    // What was logged since the last call.
    std::string logText() {
        Log::destroy();
        const std::string text = dir.read("a/b/qelm.log");
        std::remove((dir.path() + "/a/b/qelm.log").c_str());
        return text;
    }
    TempDir dir;
    std::unique_ptr<ScopedWorkDir> work;
};

TEST_F(ResourceRegistryTest, SimpleIsBuiltOnceFromTheShippedShaders) {
    REQUIRE_GL_CONTEXT();
    testsupport::installShaders();
    EXPECT_EQ(ResourceRegistry::getProgram("Simple"), nullptr);
    EXPECT_EQ(ResourceRegistry::getProgram("other"), nullptr);
    EXPECT_EQ(logText(), "") << "a wrong name loads nothing";

    ShaderProgramHandler* first = ResourceRegistry::getProgram("simple");
    ASSERT_NE(first, nullptr);
    GLint linked = 0;
    glGetProgramiv(first->program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << "the shipped shaders must link";
    EXPECT_EQ(logText(), "ShaderHandler: shader compiled (shader/simple.vert)\n"
                         "ShaderHandler: shader compiled (shader/simple.frag)\n"
                         "ShaderProgramHandler: shader program built (" +
                             std::to_string(first->program) + ")\n");
    EXPECT_EQ(ResourceRegistry::getProgram("simple"), first);
    EXPECT_EQ(logText(), "") << "the second request logs nothing";
    // The program holds the two cached shaders, vertex first.
    ASSERT_EQ(first->shaders->size(), 2u);
    EXPECT_EQ((*first->shaders)[0], ResourceRegistry::getShader("shader/simple.vert"));
    EXPECT_EQ((*first->shaders)[1], ResourceRegistry::getShader("shader/simple.frag"));

    // Every value that drawing feeds must reach the shaders (the previous
    // camera values are declared for effects and may be dropped as unused).
    for (const char* name : {"cameraTransform", "cameraLocation", "worldTransform",
                             "normalTransform", "ambientLight", "mainLightLocation",
                             "mainLightColor", "textureData", "shaderMode", "Ka", "Kd", "Ke",
                             "Ks", "Ns", "d", "colorBias"})
        EXPECT_NE(glGetUniformLocation(first->program, name), -1) << name;
    for (const char* name : {"vertex", "texcoord", "normal"})
        EXPECT_NE(glGetAttribLocation(first->program, name), -1) << name;
}

TEST_F(ResourceRegistryTest, ShadersAreCachedByFoundPathEvenWhenUnsupported) {
    REQUIRE_GL_CONTEXT();
    dir.write("a/shader/one.vert", "#version 120\nvoid main() { gl_Position = vec4(0.0); }\n");
    dir.write("a/b/shader/x.glsl", "void main() {}\n");
    ShaderHandler* viaSearch = ResourceRegistry::getShader("shader/one.vert");
    ASSERT_NE(viaSearch, nullptr);
    EXPECT_EQ(*viaSearch->fileName, "../shader/one.vert");
    EXPECT_EQ(ResourceRegistry::getShader("../shader/one.vert"), viaSearch);
    EXPECT_EQ(logText(), "ShaderHandler: shader compiled (../shader/one.vert)\n");

    EXPECT_EQ(ResourceRegistry::getShader("shader/none.vert"), nullptr);
    EXPECT_EQ(ResourceRegistry::instance->shaders->size(), 1u) << "a missing file is not stored";
    EXPECT_EQ(logText(), "");

    ShaderHandler* glsl = ResourceRegistry::getShader("shader/x.glsl");
    ASSERT_NE(glsl, nullptr);
    EXPECT_EQ(glsl->id, 0u);
    EXPECT_EQ(ResourceRegistry::getShader("shader/x.glsl"), glsl);
    EXPECT_EQ(logText(), "ShaderHandler: tried to add unsupported shader type (shader/x.glsl)");
}

TEST_F(ResourceRegistryTest, MeshesAreLoadedOncePerFoundPath) {
    REQUIRE_GL_CONTEXT();
    // Missing: named once however often it is asked for, and not stored.
    EXPECT_EQ(ResourceRegistry::getMesh("m/none.obj"), nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("m/none.obj"), nullptr);
    EXPECT_TRUE(ResourceRegistry::instance->meshes->empty());
    EXPECT_EQ(logText(), "ResourceRegistry: mesh file not found (m/none.obj)\n");

    testsupport::writeTexturedQuad(dir.path() + "/a/m", "quad", {255, 0, 0}, {0, 0, 255});
    MeshHandler* mesh = ResourceRegistry::getMesh("m/quad.obj");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("../m/quad.obj"), mesh);
    EXPECT_EQ(logText(), "Loading... ../m/quad.obj\n");
    FaceGroup* group = mesh->getFaceGroup("tex");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->vertexCount, 6u);
    EXPECT_TRUE(group->hasTexture);
    for (GLuint buffer : group->vbo) EXPECT_NE(buffer, 0u);

    // A file without faces is stored, named once and not read again.
    dir.write("a/b/m/empty.obj", "# nothing\nv 1 2 3\nusemtl x\n");
    MeshHandler* empty = ResourceRegistry::getMesh("m/empty.obj");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(ResourceRegistry::getMesh("m/empty.obj"), empty);
    EXPECT_EQ(logText(), "Loading... m/empty.obj\n"
                         "ResourceRegistry: mesh file holds no faces (m/empty.obj)\n");
}

TEST_F(ResourceRegistryTest, MissingShaderFileIsReportedAndTheProgramBuiltFromTheRest) {
    REQUIRE_GL_CONTEXT();
    dir.write("a/b/shader/simple.frag", "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    ShaderProgramHandler* program = ResourceRegistry::getProgram("simple");
    ASSERT_NE(program, nullptr);
    EXPECT_NE(program->program, 0u);
    ASSERT_EQ(program->shaders->size(), 1u) << "only the shader that exists is attached";
    EXPECT_EQ(*(*program->shaders)[0]->fileName, "shader/simple.frag");
    const std::string text = logText();
    EXPECT_NE(text.find("ResourceRegistry: shader file not found (shader/simple.vert)\n"),
              std::string::npos) << text;
    EXPECT_EQ(text.find("simple.frag) not found"), std::string::npos);
    EXPECT_NE(text.find("ShaderProgramHandler: shader program built ("), std::string::npos);
    while (glGetError() != GL_NO_ERROR) {}
}

} // namespace
