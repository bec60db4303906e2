// Shader compilation and program linking against a real OpenGL context:
// what is logged, in which order, and what the handlers hold afterwards.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include "engine/Log.h"
#include "engine/ShaderHandler.h"
#include "engine/ShaderProgramHandler.h"
#include "tests/support/GLContext.h"
#include "tests/support/TempDir.h"

using testsupport::TempDir;

namespace {

const char* kGoodFrag = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";

class ShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Log::destroy();
        dir.write("shader/good.vert",
                  "#version 120\nattribute vec4 vertex;\nvoid main() { gl_Position = vertex; }\n");
        dir.write("shader/good.frag", kGoodFrag);
        dir.write("shader/bad.frag", "#version 120\nvoid main() { gl_FragColor = vec4(1.0) }\n");
        // Compiles, but the function is never defined: only the link fails.
        dir.write("shader/unlinkable.frag",
                  "#version 120\nvec4 missingColour();\nvoid main() { gl_FragColor = missingColour(); }\n");
    }
    void TearDown() override { Log::destroy(); }
    std::string logText() {
        Log::destroy();
        return dir.read("qelm.log");
    }
    // Builds vert + frag into `program` and returns build()'s result.
    bool build(ShaderProgramHandler& program, ShaderHandler& vert, ShaderHandler& frag) {
        program.addShader(&vert);
        program.addShader(&frag);
        return program.build();
    }
    std::string builtLine(const ShaderProgramHandler& p) {
        return "ShaderProgramHandler: shader program built (" + std::to_string(p.program) + ")\n";
    }
    TempDir dir;
};

TEST_F(ShaderTest, GoodShadersCompileAndLinkWithOnlyTheirMessages) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler vert("shader/good.vert"), frag("shader/good.frag");
    EXPECT_EQ(vert.type, GLenum(GL_VERTEX_SHADER));
    EXPECT_EQ(frag.type, GLenum(GL_FRAGMENT_SHADER));
    EXPECT_TRUE(glIsShader(vert.id));
    ShaderProgramHandler program;
    EXPECT_TRUE(build(program, vert, frag));
    GLint linked = 0;
    glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    EXPECT_TRUE(program.linked);
    EXPECT_EQ(logText(), "ShaderHandler: shader compiled (shader/good.vert)\n"
                         "ShaderHandler: shader compiled (shader/good.frag)\n" + builtLine(program));
}

TEST_F(ShaderTest, CompileErrorComesBeforeTheCompiledLineAndTheProgramStillBuilds) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler vert("shader/good.vert"), frag("shader/bad.frag");
    EXPECT_EQ(frag.id, 0u);
    EXPECT_EQ(frag.type, GLenum(GL_FRAGMENT_SHADER));
    ShaderProgramHandler program;
    while (glGetError() != GL_NO_ERROR) {}
    EXPECT_TRUE(build(program, vert, frag));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the failed shader is not attached";

    const std::string text = logText();
    const std::string head = "ShaderHandler: shader compiled (shader/good.vert)\n"
                             "ShaderHandler: compile error (shader/bad.frag):\n   ";
    const std::string tail = "\nShaderHandler: shader compiled (shader/bad.frag)\n" + builtLine(program);
    ASSERT_GE(text.size(), head.size() + tail.size()) << text;
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    // The driver's log sits between: text, with no terminating zero.
    const std::string info = text.substr(head.size(), text.size() - head.size() - tail.size());
    EXPECT_FALSE(info.empty());
    EXPECT_EQ(info.find('\0'), std::string::npos);
}

TEST_F(ShaderTest, LinkErrorIsLoggedBeforeTheBuiltLineAndTheProgramIsKept) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler vert("shader/good.vert"), frag("shader/unlinkable.frag");
    ASSERT_NE(frag.id, 0u) << "the fragment shader itself must compile";
    ShaderProgramHandler program;
    EXPECT_TRUE(build(program, vert, frag));
    EXPECT_NE(program.program, 0u);
    EXPECT_FALSE(program.linked) << "drawing must know";
    const std::string text = logText();
    const std::string error = "ShaderProgramHandler: build error:\n   ";
    const auto errorAt = text.find(error);
    const auto builtAt = text.find(builtLine(program));
    ASSERT_NE(errorAt, std::string::npos) << text;
    ASSERT_NE(builtAt, std::string::npos) << text;
    // Error, the info log, one line end, then the built line last.
    EXPECT_GT(builtAt, errorAt + error.size() + 1);
    EXPECT_EQ(text[builtAt - 1], '\n');
    EXPECT_EQ(builtAt + builtLine(program).size(), text.size());
}

TEST_F(ShaderTest, MissingAndUnsupportedFilesLogWithoutLineEnd) {
    REQUIRE_GL_CONTEXT();
    dir.write("shader/other.glsl", kGoodFrag);
    dir.write("shader/upper.VERT", kGoodFrag);  // the extension match is case-sensitive
    ShaderHandler missing("shader/none.vert"), glsl("shader/other.glsl"), upper("shader/upper.VERT");
    for (const ShaderHandler* h : {&missing, &glsl, &upper}) {
        EXPECT_EQ(h->id, 0u);
        EXPECT_EQ(h->type, 0u);
    }
    EXPECT_EQ(*missing.fileName, "");
    EXPECT_EQ(*glsl.fileName, "shader/other.glsl");
    Log::write("next");
    EXPECT_EQ(logText(), "ShaderHandler: shader file not found (shader/none.vert)"
                         "ShaderHandler: tried to add unsupported shader type (shader/other.glsl)"
                         "ShaderHandler: tried to add unsupported shader type (shader/upper.VERT)"
                         "next");
}

TEST_F(ShaderTest, FragOutputNameIsBoundToColourZero) {
    REQUIRE_GL_CONTEXT();
    dir.write("shader/out.vert", "#version 130\nin vec4 vertex;\nvoid main() { gl_Position = vertex; }\n");
    dir.write("shader/out.frag", "#version 130\nout vec4 glow;\nout vec4 colour;\n"
                                 "void main() { colour = vec4(1.0); glow = vec4(0.5); }\n");
    ShaderHandler vert("shader/out.vert"), frag("shader/out.frag");
    frag.setFragOutputName("colour");
    ShaderProgramHandler program;
    build(program, vert, frag);
    EXPECT_EQ(glGetFragDataLocation(program.program, "colour"), 0);
}

TEST_F(ShaderTest, DestructorsReleaseTheObjectsAndSaySo) {
    REQUIRE_GL_CONTEXT();
    GLuint shaderId = 0, programId = 0;
    {
        ShaderHandler vert("shader/good.vert");
        ShaderProgramHandler program;
        build(program, vert, vert);
        shaderId = vert.id;
        programId = program.program;
        program.print();
    }
    EXPECT_FALSE(glIsShader(shaderId));
    EXPECT_FALSE(glIsProgram(programId));
    const std::string text = logText();
    EXPECT_NE(text.find("### ShaderProgramHandler (capacity: 2, size: 2)\n"
                        "# - shader/good.vert\n# - shader/good.vert\n"),
              std::string::npos) << text;
    const auto programGone = text.find("ShaderProgramHandler: shader program destroyed (" +
                                       std::to_string(programId) + ")\n");
    const auto shaderGone = text.find("ShaderHandler: shader destroyed (shader/good.vert)\n");
    ASSERT_NE(programGone, std::string::npos) << text;
    ASSERT_NE(shaderGone, std::string::npos) << text;
    EXPECT_LT(programGone, shaderGone);
}

} // namespace
