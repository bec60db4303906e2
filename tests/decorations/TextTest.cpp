// The ".glf" reader and the head-up-display text: what a font file must hold
// to be used, glyph layout, fades, buffers and texture, and the picture.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "decorations/FontReader.h"
#include "decorations/Text.h"
#include "engine/HUDCamera.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/GLContext.h"
#include "tests/support/ScopedWorkDir.h"

namespace {

std::string word(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

std::string font(int w, int h, int start, int end, const std::vector<Glyph>& glyphs,
                 const std::string& texels) {
    std::string out = word(0) + word(std::uint32_t(w)) + word(std::uint32_t(h)) +
                      word(std::uint32_t(start)) + word(std::uint32_t(end)) + word(0);
    for (const Glyph& g : glyphs)
        for (float f : {g.dx, g.dy, g.tx1, g.ty1, g.tx2, g.ty2}) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            out += word(bits);
        }
    return out + texels;
}

std::string shippedFont() {
    std::ifstream in(testsupport::sourcePath("external/osaka_font.glf"), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Glyphs 'A' to 'C' of a 16 x 8 texture.
const std::vector<Glyph> kAbc = {{0.25f, 1.0f, 0.0f, 0.0f, 0.25f, 1.0f},
                                 {0.5f, 0.5f, 0.25f, 0.5f, 0.75f, 1.0f},
                                 {0.125f, 0.25f, 0.75f, 0.0f, 0.875f, 0.25f}};
const std::string kAbcFont = font(16, 8, 'A', 'C', kAbc, std::string(2 * 16 * 8, '\x7f'));

bool readsAsFont(const std::string& bytes, FontReader& reader) {
    std::istringstream in(bytes);
    return reader.read(in);
}

TEST(FontReaderTest, ReadsWholeFontsAndNothingAfterThem) {
    FontReader reader;
    ASSERT_TRUE(readsAsFont(kAbcFont + "trailing bytes", reader));
    const FontHeader& h = reader.header;
    EXPECT_TRUE(h.texWidth == 16 && h.texHeight == 8 && h.startChar == 'A' && h.endChar == 'C');
    ASSERT_EQ(reader.header.chars.size(), 3u);
    EXPECT_EQ(std::memcmp(reader.header.chars.data(), kAbc.data(), 3 * sizeof(Glyph)), 0);
    EXPECT_EQ(reader.texels, std::vector<unsigned char>(256, 0x7f));
}

TEST(FontReaderTest, RefusesWhatTheFileDoesNotHold) {
    const std::vector<Glyph> one(1);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header cut short", kAbcFont.substr(0, 23)},
        {"glyph table cut short", kAbcFont.substr(0, 24 + 3 * 24 - 1)},
        {"texels one byte short", kAbcFont.substr(0, kAbcFont.size() - 1)},
        {"negative width", font(-2, 1, 0, 0, one, "xxxx")},
        {"zero height", font(2, 0, 0, 0, one, "")},
        {"end before start", font(1, 1, 5, 4, {}, "xx")},
        {"huge texture", font(INT_MAX, INT_MAX, 0, 0, one, "xx")},
        {"huge glyph table", font(1, 1, INT_MIN, INT_MAX, one, "xx")},
    };
    for (const auto& c : cases) {
        FontReader reader;
        EXPECT_FALSE(readsAsFont(c.bytes, reader)) << c.what;
        EXPECT_TRUE(reader.header.chars.empty() && reader.texels.empty()) << c.what;
        EXPECT_LT(reader.header.endChar, reader.header.startChar) << c.what << ": draws nothing";
    }
    FontReader reader;
    EXPECT_FALSE(reader.readFile("no/such/font.glf"));
}

// Drawing tests in a fresh directory with the shaders; each writes the font
// file that its elements read.
class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        scene = std::make_unique<testsupport::DrawingScene>();
    }
    void useFont(const std::string& bytes) { scene->dir.write("external/osaka_font.glf", bytes); }
    std::unique_ptr<testsupport::DrawingScene> scene;
};

// The glyph's six corners: lower-left, lower-right, upper-right twice,
// upper-left, lower-left; ty1 at the top.
void expectGlyph(const FaceGroup* g, unsigned first, float x, float w, float h, const Glyph& glyph) {
    const glm::vec4 corners[6] = {{x, 0, glyph.tx1, glyph.ty2},     {x + w, 0, glyph.tx2, glyph.ty2},
                                  {x + w, h, glyph.tx2, glyph.ty1}, {x + w, h, glyph.tx2, glyph.ty1},
                                  {x, h, glyph.tx1, glyph.ty1},     {x, 0, glyph.tx1, glyph.ty2}};
    for (unsigned i = 0; i < 6; ++i) {
        EXPECT_EQ((*g->vertices)[first + i], glm::vec4(corners[i].x, corners[i].y, 0, 1)) << first + i;
        EXPECT_EQ((*g->texCoords)[first + i], glm::vec2(corners[i].z, corners[i].w)) << first + i;
        EXPECT_EQ((*g->normals)[first + i], glm::vec3(0, 0, 1)) << first + i;
    }
}

TEST_F(TextTest, GlyphQuadsSkipBytesOutsideTheFontAndTakeTheScaleOfTheirTime) {
    useFont(kAbcFont);
    Decorations::Text text;
    const FaceGroup* g = text.faceGroup;
    ASSERT_EQ(g, text.mesh->getFaceGroup("text"));
    text.setScale(0.5f);
    text.setText("A\x80z B\xff" "C"); // 128-255 are negative; 'z' and ' ' lie outside A-C
    ASSERT_EQ(g->vertexCount, 18u);
    ASSERT_EQ(g->texCoords->size(), 18u);
    ASSERT_EQ(g->normals->size(), 18u);
    expectGlyph(g, 0, 0, 2, 4, kAbc[0]); // 16 x 0.25 x 0.5 wide, 8 x 1 x 0.5 high
    expectGlyph(g, 6, 2, 4, 2, kAbc[1]);
    expectGlyph(g, 12, 6, 1, 1, kAbc[2]);
    text.setScale(2.0f);
    EXPECT_EQ((*g->vertices)[1].x, 2.0f) << "the size of the time of setText stays";
    text.setText("A");
    expectGlyph(g, 0, 0, 8, 16, kAbc[0]);
    text.setText("");
    EXPECT_EQ(g->vertexCount, 0u);

    // Bytes 128 and 129 are the characters -128 and -127 of a font that has them.
    useFont(font(16, 8, -128, -127, {kAbc[1], kAbc[2]}, std::string(256, '\0')));
    Decorations::Text high;
    high.setText("\x80\x81\x82" "A");
    ASSERT_EQ(high.faceGroup->vertexCount, 12u);
    expectGlyph(high.faceGroup, 0, 0, 8, 4, kAbc[1]);
    expectGlyph(high.faceGroup, 6, 8, 2, 2, kAbc[2]);

    // The shipped font draws every printable character on one line.
    useFont(shippedFont());
    Decorations::Text shipped;
    shipped.setText("OIDA WOS?! 1234567890:-;,");
    ASSERT_EQ(shipped.faceGroup->vertexCount, 25u * 6);
    for (unsigned i = 6; i < 150; i += 6)
        EXPECT_EQ((*shipped.faceGroup->vertices)[i], (*shipped.faceGroup->vertices)[i - 5]) << "joined";
}

TEST_F(TextTest, FadeOutHidesAfterItsDurationAndShowRestarts) {
    useFont(kAbcFont);
    Decorations::Text text;
    float& d = text.faceGroup->d;
    text.fadeOut(2.0f);
    for (float expected : {1.0f, 0.75f, 0.5f, 0.25f}) {
        text.update(0.5f);
        EXPECT_EQ(d, expected);
        EXPECT_TRUE(text.visible && text.fading);
    }
    text.update(0.5f); // 2 s gathered before this update
    EXPECT_EQ(d, 0.0f);
    EXPECT_FALSE(text.visible || text.fading);
    EXPECT_EQ(text.fadeElapsed, 0.0f);
    text.update(0.5f);
    EXPECT_EQ(d, 0.0f) << "kept until show";

    text.show();
    EXPECT_EQ(d, 1.0f);
    EXPECT_TRUE(text.visible);
    text.fadeOut(2.0f);
    text.update(1.0f);
    text.fadeOut(4.0f); // re-timed: the second already faded stays
    text.update(1.0f);
    EXPECT_EQ(d, 0.75f);
    text.show();
    EXPECT_EQ(text.fadeElapsed, 0.0f);
    EXPECT_FALSE(text.fading);
    text.update(1.0f);
    EXPECT_EQ(d, 1.0f);
}

TEST_F(TextTest, NewTextsReplaceTheirBuffersAndDestructionReleasesAll) {
    useFont(shippedFont());
    std::set<GLuint> buffers;
    GLuint texture = 0;
    {
        Decorations::Text text;
        texture = text.font.tex;
        EXPECT_TRUE(glIsTexture(texture));
        for (int i = 0; i < 1000; ++i) {
            text.setText("FPS " + std::to_string(i));
            buffers.insert(text.faceGroup->vbo, text.faceGroup->vbo + 4);
        }
        int live = 0;
        for (GLuint name : buffers) live += glIsBuffer(name) ? 1 : 0;
        EXPECT_EQ(live, 4);
    }
    for (GLuint name : buffers) EXPECT_FALSE(glIsBuffer(name)) << name;
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(TextTest, OddWidthTexelsUploadAsStoredAndTheAlignmentIsRestored) {
    std::string texels(2 * 255 * 3, '\0');
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = char(i * 7 + 3);
    useFont(font(255, 3, 'A', 'A', {kAbc[0]}, texels));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    Decorations::Text text;
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    std::string stored(texels.size(), '\0');
    glBindTexture(GL_TEXTURE_2D, text.font.tex);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, &stored[0]);
    EXPECT_TRUE(stored == texels) << "rows shifted: the upload padded them";
}

TEST_F(TextTest, UnusableFontFilesAreLoggedAndDrawNothing) {
    auto expectUnusable = [this](const char* what, const std::string& logFile = "qelm.log") {
        SCOPED_TRACE(what);
        ResourceRegistry::getProgram("simple");
        Log::destroy();
        std::remove((scene->dir.path() + "/" + logFile).c_str());
        Decorations::Text text;
        Log::destroy();
        EXPECT_EQ(scene->dir.read(logFile), "Problem loading font file\n");
        text.setText("ABC");
        EXPECT_EQ(text.faceGroup->vertexCount, 0u);
        EXPECT_TRUE(text.font.chars.empty());
    };
    expectUnusable("missing");
    useFont(kAbcFont.substr(0, 40));
    expectUnusable("too short");
    useFont(font(16, -8, 'A', 'C', kAbc, ""));
    expectUnusable("nonsense header");
    // Looked for in the working directory only.
    useFont(kAbcFont);
    testsupport::ScopedWorkDir below(scene->dir.path() + "/a");
    expectUnusable("one directory up", "a/qelm.log");
}

// A glyph 'A' whose upper half is ink and a 'B' whose left half is ink, a
// quarter of the window each, drawn orange at (0.25, 0.5) on blue.
TEST_F(TextTest, DrawnTextIsUprightInItsColourAndPlace) {
    std::string texels;
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 16; ++col) {
            const bool ink = col < 8 ? row < 4 : col < 12;
            texels += std::string{'\xff', ink ? '\xff' : '\0'};
        }
    useFont(font(16, 8, 'A', 'B', {{0.5f, 1, 0, 0, 0.5f, 1}, {0.5f, 1, 0.5f, 0, 1, 1}}, texels));
    Decorations::Text text;
    text.setScale(std::sqrt(1.0f / 32.0f)); // 16 x 0.5 x scale^2 = a quarter
    text.setPosition(glm::vec3(0.25f, 0.5f, 0));
    text.setColor(glm::vec4(1, 0.5f, 0, 1));
    text.setText("AB");
    scene->clearWindow(0, 0, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Engine::HUDCamera hud(0, 0, 256, 256);
    text.render(&hud, glm::vec4(1), Light(glm::vec3(0), glm::vec4(0), 0), true);
    const std::vector<unsigned char> shot = scene->readAll();
    auto rgb = [&](int x, int y) {
        const unsigned char* p = &shot[(size_t(y) * 256 + x) * 4];
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    const std::array<int, 3> ink{255, 128, 0}, blue{0, 0, 255};
    EXPECT_EQ(rgb(96, 176), ink) << "A's upper half";
    EXPECT_EQ(rgb(96, 144), blue) << "A's lower half";
    EXPECT_EQ(rgb(144, 160), ink) << "B's left half";
    EXPECT_EQ(rgb(176, 160), blue) << "B's right half";
    for (auto [x, y] : {std::pair{32, 160}, {96, 100}, {96, 220}, {220, 160}})
        EXPECT_EQ(rgb(x, y), blue) << x << ", " << y;
}

} // namespace
