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

const char* kGoodVert =
    "#version 120\nattribute vec4 vertex;\nvoid main() { gl_Position = vertex; }\n";
const char* kGoodFrag = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
const char* kBadFrag = "#version 120\nvoid main() { gl_FragColor = vec4(1.0) }\n"; // missing ;
// Compiles, but the function is never defined: only the link fails.
const char* kUnlinkableFrag =
    "#version 120\nvec4 missingColour();\nvoid main() { gl_FragColor = missingColour(); }\n";

// A temporary working directory with its own fresh "qelm.log".
class ShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Log::destroy();
        dir.write("shader/good.vert", kGoodVert);
        dir.write("shader/good.frag", kGoodFrag);
        dir.write("shader/bad.frag", kBadFrag);
        dir.write("shader/unlinkable.frag", kUnlinkableFrag);
        dir.write("shader/other.glsl", kGoodFrag);
    }
    void TearDown() override { Log::destroy(); }
    std::string logText() {
        Log::destroy();
        return dir.read("qelm.log");
    }
    TempDir dir;
};

TEST_F(ShaderTest, GoodShadersCompileAndLinkWithOnlyTheirMessages) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler vert("shader/good.vert");
    ShaderHandler frag("shader/good.frag");
    EXPECT_NE(vert.id, 0u);
    EXPECT_EQ(vert.type, static_cast<GLenum>(GL_VERTEX_SHADER));
    EXPECT_EQ(frag.type, static_cast<GLenum>(GL_FRAGMENT_SHADER));
    EXPECT_EQ(*vert.fileName, "shader/good.vert");
    EXPECT_TRUE(glIsShader(vert.id));

    ShaderProgramHandler program;
    EXPECT_EQ(program.program, 0u);
    program.addShader(&vert);
    program.addShader(&frag);
    EXPECT_TRUE(program.build());
    ASSERT_NE(program.program, 0u);
    GLint linked = 0;
    glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);

    EXPECT_EQ(logText(),
              "ShaderHandler: shader compiled (shader/good.vert)\n"
              "ShaderHandler: shader compiled (shader/good.frag)\n"
              "ShaderProgramHandler: shader program built (" +
                  std::to_string(program.program) + ")\n");
}

TEST_F(ShaderTest, CompileErrorIsLoggedBeforeTheCompiledLineAndDropsTheShader) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler frag("shader/bad.frag");
    EXPECT_EQ(frag.id, 0u);
    EXPECT_EQ(frag.type, static_cast<GLenum>(GL_FRAGMENT_SHADER));

    const std::string text = logText();
    const std::string head = "ShaderHandler: compile error (shader/bad.frag):\n   ";
    const std::string tail = "\nShaderHandler: shader compiled (shader/bad.frag)\n";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    ASSERT_GE(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    const std::string info = text.substr(head.size(), text.size() - head.size() - tail.size());
    EXPECT_FALSE(info.empty());
    // The driver's log is text: no terminating zero leaks into the file.
    EXPECT_EQ(info.find('\0'), std::string::npos);
}

TEST_F(ShaderTest, LinkErrorIsLoggedBeforeTheBuiltLineAndTheProgramIsKept) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler vert("shader/good.vert");
    ShaderHandler frag("shader/unlinkable.frag");
    ASSERT_NE(frag.id, 0u) << "the fragment shader itself must compile";
    ShaderProgramHandler program;
    program.addShader(&vert);
    program.addShader(&frag);
    EXPECT_TRUE(program.build());
    EXPECT_NE(program.program, 0u);

    const std::string text = logText();
    const std::string error = "ShaderProgramHandler: build error:\n   ";
    const std::string built =
        "ShaderProgramHandler: shader program built (" + std::to_string(program.program) + ")\n";
    const auto errorAt = text.find(error);
    const auto builtAt = text.find(built);
    ASSERT_NE(errorAt, std::string::npos) << text;
    ASSERT_NE(builtAt, std::string::npos) << text;
    EXPECT_LT(errorAt, builtAt);
    EXPECT_EQ(builtAt + built.size(), text.size()) << "the built line comes last";
    // The info log sits between the two, followed by one line end.
    EXPECT_GT(builtAt, errorAt + error.size() + 1);
    EXPECT_EQ(text[builtAt - 1], '\n');
}

TEST_F(ShaderTest, ProgramWithAFailedShaderStillBuildsAndLogsItsMessagesInOrder) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler vert("shader/good.vert");
    ShaderHandler frag("shader/bad.frag");
    ShaderProgramHandler program;
    program.addShader(&vert);
    program.addShader(&frag);
    EXPECT_TRUE(program.build());
    while (glGetError() != GL_NO_ERROR) {} // attaching shader 0 is recorded as a GL error

    const std::string text = logText();
    const auto vertAt = text.find("ShaderHandler: shader compiled (shader/good.vert)\n");
    const auto errorAt = text.find("ShaderHandler: compile error (shader/bad.frag):\n   ");
    const auto fragAt = text.find("ShaderHandler: shader compiled (shader/bad.frag)\n");
    const auto builtAt = text.find("ShaderProgramHandler: shader program built (");
    ASSERT_NE(vertAt, std::string::npos);
    ASSERT_NE(errorAt, std::string::npos);
    ASSERT_NE(fragAt, std::string::npos);
    ASSERT_NE(builtAt, std::string::npos);
    EXPECT_LT(vertAt, errorAt);
    EXPECT_LT(errorAt, fragAt);
    EXPECT_LT(fragAt, builtAt);
}

TEST_F(ShaderTest, MissingAndUnsupportedFilesLogWithoutLineEnd) {
    REQUIRE_GL_CONTEXT();
    ShaderHandler missing("shader/none.vert");
    EXPECT_EQ(missing.id, 0u);
    EXPECT_EQ(missing.type, 0u);
    EXPECT_EQ(*missing.fileName, "");
    ShaderHandler glsl("shader/other.glsl");
    EXPECT_EQ(glsl.id, 0u);
    EXPECT_EQ(glsl.type, 0u);
    EXPECT_EQ(*glsl.fileName, "shader/other.glsl");
    Log::write("next");

    EXPECT_EQ(logText(),
              "ShaderHandler: shader file not found (shader/none.vert)"
              "ShaderHandler: tried to add unsupported shader type (shader/other.glsl)"
              "next");
}

TEST_F(ShaderTest, ExtensionMatchIsCaseSensitive) {
    REQUIRE_GL_CONTEXT();
    dir.write("shader/upper.VERT", kGoodVert);
    ShaderHandler upper("shader/upper.VERT");
    EXPECT_EQ(upper.id, 0u);
    EXPECT_NE(logText().find("unsupported shader type (shader/upper.VERT)"), std::string::npos);
}

TEST_F(ShaderTest, FragOutputNameIsBoundToColourZero) {
    REQUIRE_GL_CONTEXT();
    dir.write("shader/out.vert",
              "#version 130\nin vec4 vertex;\nvoid main() { gl_Position = vertex; }\n");
    dir.write("shader/out.frag",
              "#version 130\nout vec4 glow;\nout vec4 colour;\n"
              "void main() { colour = vec4(1.0); glow = vec4(0.5); }\n");
    ShaderHandler vert("shader/out.vert");
    ShaderHandler frag("shader/out.frag");
    frag.setFragOutputName("colour");
    ASSERT_TRUE(frag.fragOutputName);
    ShaderProgramHandler program;
    program.addShader(&vert);
    program.addShader(&frag);
    program.build();
    EXPECT_EQ(glGetFragDataLocation(program.program, "colour"), 0);
}

TEST_F(ShaderTest, DestructorsReleaseTheObjectsAndSaySo) {
    REQUIRE_GL_CONTEXT();
    GLuint shaderId = 0, programId = 0;
    {
        ShaderHandler vert("shader/good.vert");
        ShaderProgramHandler program;
        program.addShader(&vert);
        program.addShader(&vert);
        program.build();
        shaderId = vert.id;
        programId = program.program;
        program.print();
    }
    EXPECT_FALSE(glIsShader(shaderId));
    EXPECT_FALSE(glIsProgram(programId));
    const std::string text = logText();
    const std::string id = std::to_string(programId);
    EXPECT_NE(text.find("### ShaderProgramHandler (capacity: 2, size: 2)\n"
                        "# - shader/good.vert\n# - shader/good.vert\n"),
              std::string::npos)
        << text;
    const auto programGone = text.find("ShaderProgramHandler: shader program destroyed (" + id + ")\n");
    const auto shaderGone = text.find("ShaderHandler: shader destroyed (shader/good.vert)\n");
    ASSERT_NE(programGone, std::string::npos) << text;
    ASSERT_NE(shaderGone, std::string::npos) << text;
    EXPECT_LT(programGone, shaderGone);
}

} // namespace
