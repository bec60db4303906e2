// The decorations (mesh, mass, scale, shape; missing meshes; the glass's box)
// and the head-up-display text: its ".glf" font, glyphs, fades and buffers.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <LinearMath/btAlignedAllocator.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <tuple>

#include "decorations/ACube.h"
#include "decorations/BCube.h"
#include "decorations/Ball.h"
#include "decorations/BulletBill.h"
#include "decorations/CCube.h"
#include "decorations/DCube.h"
#include "decorations/DecoWheel.h"
#include "decorations/GameBoy.h"
#include "decorations/Glass.h"
#include "decorations/HelpScreen.h"
#include "decorations/Icon.h"
#include "decorations/LoadingScreen.h"
#include "decorations/P1WinScreen.h"
#include "decorations/P2WinScreen.h"
#include "decorations/Pipe.h"
#include "decorations/PlasticTable.h"
#include "decorations/Pyramid.h"
#include "decorations/Radar.h"
#include "decorations/SkyDome.h"
#include "decorations/Subaru.h"
#include "decorations/Text.h"
#include "decorations/Toiletpaper.h"
#include "decorations/WoodTable.h"
#include "decorations/WorldCup.h"
#include "engine/Globals.h"
#include "engine/HUDCamera.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "tests/support/DrawingScene.h"
#include "tests/support/ScopedWorkDir.h"

namespace {

using ActorPtr = std::unique_ptr<Engine::Actor>;
template <class T> ActorPtr make() { return std::make_unique<T>(); }

enum class Shape { None, Box, Sphere, FixedBox, FollowsTransform, Cylinder };
const struct Row {
    ActorPtr (*make)();
    const char* mesh;
    float mass, scale; // the wheel's scale: one unit high
    Shape shape;
} kTable[] = {
    {make<Decorations::ACube>, "meshes/cube/acube.obj", 800, 10, Shape::Box},
    {make<Decorations::BCube>, "meshes/cube/bcube.obj", 800, 10, Shape::Box},
    {make<Decorations::CCube>, "meshes/cube/ccube.obj", 800, 10, Shape::Box},
    {make<Decorations::DCube>, "meshes/cube/dcube.obj", 800, 10, Shape::Box},
    {make<Decorations::Ball>, "meshes/pokeball.obj", 400, 100, Shape::Sphere},
    {make<Decorations::BulletBill>, "meshes/bulletbill.obj", 0, 1, Shape::None},
    {make<Decorations::GameBoy>, "meshes/gameboy.obj", 800, 2, Shape::Box},
    {make<Decorations::Glass>, "meshes/glass.obj", 400, 1, Shape::FollowsTransform},
    {make<Decorations::HelpScreen>, "meshes/helpscreen.obj", 0, 1, Shape::None},
    {make<Decorations::Icon>, "meshes/icons/icon_car.obj", 0, 1, Shape::None},
    {make<Decorations::LoadingScreen>, "meshes/loadingscreen.obj", 0, 1, Shape::None},
    {make<Decorations::P1WinScreen>, "meshes/p1leet.obj", 0, 1, Shape::None},
    {make<Decorations::P2WinScreen>, "meshes/p2leet.obj", 0, 1, Shape::None},
    {make<Decorations::Pipe>, "meshes/pipe.obj", 5.0e7f, 5, Shape::Box},
    {make<Decorations::PlasticTable>, "meshes/plastictable_notex.obj", 0, 1, Shape::FixedBox},
    {make<Decorations::Pyramid>, "meshes/laptop/laptop.obj", 0, 2, Shape::None},
    {make<Decorations::SkyDome>, "meshes/skydome.obj", 0, 1, Shape::None},
    {make<Decorations::Subaru>, "meshes/subaru.obj", 1000, 200, Shape::Box},
    {make<Decorations::Toiletpaper>, "meshes/toiletpaper.obj", 1200, 170, Shape::Box},
    {make<Decorations::WoodTable>, "meshes/woodtable/woodtable.obj", 0, 1, Shape::Box},
    {make<Decorations::WorldCup>, "meshes/worldcup.obj", 2000, 10, Shape::Box},
    {make<Decorations::DecoWheel>, "meshes/wheel/wheel.obj", 50, 0, Shape::Cylinder},
};

struct TestWorld {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
};

void expectBox(const btCollisionShape* shape, const btVector3& expected, int type = BOX_SHAPE_PROXYTYPE) {
    ASSERT_TRUE(shape && shape->getShapeType() == type);
    const btVector3 actual = type == BOX_SHAPE_PROXYTYPE
                                 ? static_cast<const btBoxShape*>(shape)->getHalfExtentsWithMargin()
                                 : static_cast<const btCylinderShape*>(shape)->getHalfExtentsWithMargin();
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4f * (1 + expected[i])) << i;
}

btVector3 maxima(const MeshHandler* mesh) { return btVector3(mesh->maxX, mesh->maxY, mesh->maxZ); }

// A ".glf" font: 24 bytes of header, 24 per glyph, 2 per texel.
std::string word(std::uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string font(int w, int h, int start, int end, const std::vector<Glyph>& glyphs, const std::string& texels) {
    std::string out = word(0) + word(std::uint32_t(w)) + word(std::uint32_t(h)) + word(std::uint32_t(start)) +
                      word(std::uint32_t(end)) + word(0);
    for (const Glyph& g : glyphs)
        for (float f : {g.dx, g.dy, g.tx1, g.ty1, g.tx2, g.ty2}) out.append(reinterpret_cast<const char*>(&f), 4);
    return out + texels;
}
// Glyphs 'A' to 'C' of a 16 x 8 texture.
const std::vector<Glyph> kAbc = {{0.25f, 1.0f, 0.0f, 0.0f, 0.25f, 1.0f}, {0.5f, 0.5f, 0.25f, 0.5f, 0.75f, 1.0f},
                                 {0.125f, 0.25f, 0.75f, 0.0f, 0.875f, 0.25f}};
const std::string kAbcFont = font(16, 8, 'A', 'C', kAbc, std::string(2 * 16 * 8, '\x7f'));

// The glyph's corners: lower-left, lower-right, upper-right twice, upper-left, lower-left.
void expectGlyph(const FaceGroup* g, unsigned first, float x, float w, float h, const Glyph& glyph) {
    const glm::vec4 corners[6] = {{x, 0, glyph.tx1, glyph.ty2}, {x + w, 0, glyph.tx2, glyph.ty2},
                                  {x + w, h, glyph.tx2, glyph.ty1}, {x + w, h, glyph.tx2, glyph.ty1},
                                  {x, h, glyph.tx1, glyph.ty1}, {x, 0, glyph.tx1, glyph.ty2}};
    for (unsigned i = 0; i < 6; ++i) {
        EXPECT_EQ((*g->vertices)[first + i], glm::vec4(corners[i].x, corners[i].y, 0, 1)) << first + i;
        EXPECT_EQ((*g->texCoords)[first + i], glm::vec2(corners[i].z, corners[i].w)) << first + i;
        EXPECT_EQ((*g->normals)[first + i], glm::vec3(0, 0, 1)) << first + i;
    }
}

class DecorationsTest : public testsupport::DrawingTest {
protected:
    void linkPack(const char* what) { std::filesystem::create_symlink(testsupport::sourcePath(what), what); }
    void useFont(const std::string& bytes) { scene->dir.write("external/osaka_font.glf", bytes); }
};

TEST_F(DecorationsTest, EveryClassTakesItsMeshMassScaleAndShape) {
    linkPack("meshes");
    for (const Row& row : kTable) {
        SCOPED_TRACE(row.mesh);
        ActorPtr a = row.make();
        ASSERT_EQ(a->mesh, ResourceRegistry::getMesh(row.mesh)) << "shared with the registry";
        const btVector3 top = maxima(a->mesh);
        const bool wheel = row.shape == Shape::Cylinder;
        const float scale = wheel ? 1.0f / (a->mesh->maxY - a->mesh->minY) : row.scale;
        EXPECT_TRUE(a->mass == row.mass && a->scale == glm::vec3(scale));
        EXPECT_EQ(a->modelMatrix[0][0], wheel ? 1.0f : scale) << "set through setScale; the wheel's from its first step";
        EXPECT_TRUE(wheel || (a->visible && a->drawOffscreen && a->textureMode2 && !a->textureMode3));
        switch (row.shape) {
        case Shape::None:
        case Shape::FollowsTransform: EXPECT_EQ(a->collisionShape, nullptr); break;
        case Shape::Box: expectBox(a->collisionShape, top * scale); break;
        case Shape::FixedBox: expectBox(a->collisionShape, btVector3(100, 1, 100)); break;
        case Shape::Cylinder: expectBox(a->collisionShape, top * scale, CYLINDER_SHAPE_PROXYTYPE); break;
        case Shape::Sphere:
            ASSERT_EQ(a->collisionShape->getShapeType(), SPHERE_SHAPE_PROXYTYPE);
            EXPECT_FLOAT_EQ(static_cast<btSphereShape*>(a->collisionShape)->getRadius(), top.x() * 100);
        }
        EXPECT_TRUE(!wheel || static_cast<btCylinderShape*>(a->collisionShape)->getUpAxis() == 0);
        a->setScale(6.0f);
        a->setPosition(glm::vec3(0, 5, 0));
        if (row.shape == Shape::FollowsTransform) expectBox(a->collisionShape, top * 6);
        const btCollisionShape* built = a->collisionShape;
        TestWorld physics;
        ASSERT_EQ(a->addToWorld(&physics.world), built != nullptr);
        EXPECT_TRUE(!a->rigidBody || a->rigidBody->isStaticObject() == (row.mass == 0));
        EXPECT_TRUE(!wheel || a->rigidBody->getFriction() == 1.0f);
        // A later scale changes only the glass's box; the body keeps its own.
        a->setScale(20.0f);
        if (row.shape == Shape::FollowsTransform) {
            expectBox(a->collisionShape, top * 20);
            expectBox(a->rigidBody->getCollisionShape(), top * 6);
        }
        EXPECT_TRUE(row.shape == Shape::FollowsTransform || a->collisionShape == built);
        if (a->rigidBody) physics.world.removeRigidBody(a->rigidBody);
    }
}

// Missing and empty meshes: no shape but the fixed box. A one-point mesh: boxes
// of size 0 that stay finite, and no shape for a wheel with no height.
TEST_F(DecorationsTest, MissingEmptyOrPointMeshesGiveNoNaNAndNoBodyFromNothing) {
    const char* const point = "v 0 0 0\nv 0 0 0\nv 0 0 0\nf 1 2 3\n";
    for (const char* content : {static_cast<const char*>(nullptr), "", point}) {
        SCOPED_TRACE(content ? content : "missing");
        for (const Row& row : kTable)
            if (content) scene->dir.write(row.mesh, content);
        std::vector<ActorPtr> all;
        TestWorld physics;
        for (const Row& row : kTable) {
            Engine::Actor* a = all.emplace_back(row.make()).get();
            EXPECT_EQ(a->mesh != nullptr, content != nullptr);
            a->setScale(6.0f);
            const bool shaped = content == point ? row.shape != Shape::None && row.shape != Shape::Cylinder
                                                 : row.shape == Shape::FixedBox;
            EXPECT_EQ(a->collisionShape != nullptr, shaped) << row.mesh;
            EXPECT_EQ(a->addToWorld(&physics.world), shaped) << row.mesh;
        }
        for (int i = 0; i < 30; ++i) physics.world.stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
        for (ActorPtr& a : all) {
            for (int c = 0; c < 16; ++c) ASSERT_TRUE(std::isfinite(a->modelMatrix[c / 4][c % 4]));
            if (a->rigidBody) physics.world.removeRigidBody(a->rigidBody);
        }
        all.clear();
        ResourceRegistry::resetForTests();
    }
}

// Live allocations of the physics library (its shapes and bodies).
long liveAllocations = 0;
void* countedAlloc(size_t size) { return ++liveAllocations, std::malloc(size); }
void countedFree(void* p) { --liveAllocations, std::free(p); }

TEST_F(DecorationsTest, GlassRebuildsReleaseTheBoxesTheyReplace) {
    linkPack("meshes");
    btAlignedAllocSetCustom(countedAlloc, countedFree);
    {
        Decorations::Glass glass; // outlives the world it is added to
        TestWorld physics;
        glass.setScale(6.0f);
        ASSERT_TRUE(glass.addToWorld(&physics.world));
        btCollisionShape* bodyBox = glass.rigidBody->getCollisionShape();
        glass.setPosition(glm::vec3(1, 0, 0));
        const long live = liveAllocations;
        for (int i = 0; i < 1000; ++i) glass.setPosition(glm::vec3(float(i), 0, 0));
        EXPECT_EQ(liveAllocations, live) << "replaced boxes must be freed";
        EXPECT_EQ(glass.rigidBody->getCollisionShape(), bodyBox);
        expectBox(bodyBox, maxima(glass.mesh) * 6); // still alive and whole
        physics.world.removeRigidBody(glass.rigidBody);
    }
    btAlignedAllocSetCustom(nullptr, nullptr);
}

TEST_F(DecorationsTest, RadarIsAHiddenUnitQuadOverTheOffscreenPicture) {
    offscreenColorTexture = 77;
    GLuint buffers[4];
    {
        Decorations::Radar quad;
        EXPECT_TRUE(!quad.visible && !quad.drawOffscreen && quad.textureMode3 && !quad.collisionShape);
        FaceGroup* g = quad.faceGroup;
        ASSERT_TRUE(quad.mesh->getFaceGroupCount() == 1 && g == quad.mesh->getFaceGroup("fbo"));
        EXPECT_TRUE(g->hasTexture && g->textureId == 77 && g->textureUnit == GL_TEXTURE0 && g->samplerUnit == 0);
        ASSERT_TRUE(g->vertexCount == 6 && g->normals->size() == 6 && g->texCoords->size() == 6);
        expectGlyph(g, 0, 0, 1, 1, Glyph{0, 0, 0, 1, 1, 0}); // the unit square, texture coordinates alike
        std::copy(g->vbo, g->vbo + 4, buffers);
        for (GLuint name : buffers) EXPECT_TRUE(glIsBuffer(name));
    }
    for (GLuint name : buffers) EXPECT_FALSE(glIsBuffer(name)) << "released with the radar";
}

// Whatever a font file lacks, the element logs one line, keeps no glyph and
// draws nothing. It is read from the working directory only.
TEST_F(DecorationsTest, FontsThatDoNotHoldWhatTheyClaimAreLoggedAndDrawNothing) {
    const std::vector<Glyph> one(1);
    const std::pair<const char*, std::string> cases[] = {{"missing", ""}, {"empty", ""},
        {"header cut short", kAbcFont.substr(0, 23)}, {"glyph table cut short", kAbcFont.substr(0, 24 + 3 * 24 - 1)},
        {"texels one byte short", kAbcFont.substr(0, kAbcFont.size() - 1)},
        {"negative width", font(-2, 1, 0, 0, one, "xxxx")}, {"zero height", font(2, 0, 0, 0, one, "")},
        {"end before start", font(1, 1, 5, 4, {}, "xx")}, {"huge texture", font(INT_MAX, INT_MAX, 0, 0, one, "xx")},
        {"huge glyph table", font(1, 1, INT_MIN, INT_MAX, one, "xx")}, {"one directory up", kAbcFont}};
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        if (std::string(what) != "missing") useFont(bytes);
        std::unique_ptr<testsupport::ScopedWorkDir> below;
        if (std::string(what) == "one directory up") below = std::make_unique<testsupport::ScopedWorkDir>("a");
        ResourceRegistry::getProgram("simple");
        Log::destroy();
        std::remove("qelm.log");
        Decorations::Text text;
        Log::destroy();
        EXPECT_EQ(scene->dir.read(below ? "a/qelm.log" : "qelm.log"), "Problem loading font file\n");
        text.setText("ABC");
        EXPECT_TRUE(text.faceGroup->vertexCount == 0 && text.font.chars.empty());
    }
}

TEST_F(DecorationsTest, GlyphQuadsSkipBytesOutsideTheFontAndTakeTheScaleOfTheirTime) {
    useFont(kAbcFont + "trailing bytes");
    Decorations::Text text;
    const FaceGroup* g = text.faceGroup;
    ASSERT_EQ(g, text.mesh->getFaceGroup("text"));
    text.setScale(0.5f);
    text.setText("A\x80z B\xff" "C"); // 128-255 are negative; 'z' and ' ' lie outside A-C
    ASSERT_TRUE(g->vertexCount == 18 && g->texCoords->size() == 18 && g->normals->size() == 18);
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
}

TEST_F(DecorationsTest, TextFadeOutHidesAfterItsDurationAndShowRestarts) {
    useFont(kAbcFont);
    Decorations::Text text;
    float& d = text.faceGroup->d;
    text.fadeOut(2.0f);
    for (float expected : {1.0f, 0.75f, 0.5f, 0.25f}) {
        text.update(0.5f);
        EXPECT_TRUE(d == expected && text.visible && text.fading) << expected;
    }
    text.update(0.5f); // 2 s gathered before this update
    EXPECT_TRUE(d == 0.0f && !text.visible && !text.fading && text.fadeElapsed == 0.0f);
    text.update(0.5f);
    EXPECT_EQ(d, 0.0f) << "kept until show";
    text.show();
    EXPECT_TRUE(d == 1.0f && text.visible);
    text.fadeOut(2.0f);
    text.update(1.0f);
    text.fadeOut(4.0f); // re-timed: the second already faded stays
    text.update(1.0f);
    EXPECT_EQ(d, 0.75f);
    text.show();
    EXPECT_TRUE(text.fadeElapsed == 0.0f && !text.fading);
    text.update(1.0f);
    EXPECT_EQ(d, 1.0f);
}

TEST_F(DecorationsTest, ShippedFontJoinsItsGlyphsNewTextsReplaceTheirBuffersAndDestructionReleasesAll) {
    linkPack("external");
    std::set<GLuint> buffers;
    GLuint texture = 0;
    {
        Decorations::Text text;
        EXPECT_TRUE(glIsTexture(texture = text.font.tex));
        text.setText("OIDA WOS?! 1234567890:-;,"); // every printable character, on one line
        ASSERT_EQ(text.faceGroup->vertexCount, 25u * 6);
        for (unsigned i = 6; i < 150; i += 6)
            EXPECT_EQ((*text.faceGroup->vertices)[i], (*text.faceGroup->vertices)[i - 5]) << "joined";
        for (int i = 0; i < 1000; ++i) {
            text.setText("FPS " + std::to_string(i));
            buffers.insert(text.faceGroup->vbo, text.faceGroup->vbo + 4);
        }
        EXPECT_EQ(std::count_if(buffers.begin(), buffers.end(), glIsBuffer), 4);
    }
    EXPECT_EQ(std::count_if(buffers.begin(), buffers.end(), glIsBuffer), 0);
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(DecorationsTest, OddWidthTexelsUploadAsStoredAndTheAlignmentIsRestored) {
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

// A glyph 'A' whose upper half is ink and a 'B' whose left half is ink, a
// quarter of the window each, drawn orange at (0.25, 0.5) on blue.
TEST_F(DecorationsTest, DrawnTextIsUprightInItsColourAndPlace) {
    std::string texels;
    for (int i = 0; i < 16 * 8; ++i) texels += {'\xff', (i % 16 < 8 ? i / 16 < 4 : i % 16 < 12) ? '\xff' : '\0'};
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
    const std::array<int, 4> ink{255, 128, 0, 255}, blue{0, 0, 255, 255};
    // A's upper and lower half, B's left and right half, then around them.
    for (auto [x, y, inked] : {std::tuple{96, 176, true}, {96, 144, false}, {144, 160, true}, {176, 160, false},
                               {32, 160, false}, {96, 100, false}, {96, 220, false}, {220, 160, false}})
        EXPECT_EQ(scene->pixel(x, y), inked ? ink : blue) << x << ", " << y;
}

} // namespace
