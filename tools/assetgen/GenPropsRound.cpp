// Letter blocks and the round props: beach ball, paper roll, drinking glass.
#include <glm/gtc/constants.hpp>

#include <algorithm>
#include <cmath>

#include "tools/assetgen/SceneryKit.h"
#include "tools/assetgen/SceneryParts.h"
#include "tools/assetgen/TextRaster.h"

namespace assetgen::scenery {

namespace {

// A painted wooden toy block face: pale wood, coloured frame, big letter.
Image letterFace(TextRaster& text, char letter, Rgba paint) {
    constexpr int N = 256;
    Image img(N, N);
    // Mid-tone wood: lit from above a face shows 1.5 times its texture, from
    // the side 0.7 times; paler wood turns the tops to blank cream.
    const Rgba wood = rgb(200, 168, 120), grain = rgb(172, 136, 88);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float g = 0.5f + 0.5f * std::sin(y * 0.11f + 4.0f * smoothNoise(x * 0.02f, y * 0.05f, 5u));
            img.set(x, y, mix(wood, grain, std::pow(g, 4.0f) * 0.8f));
        }
    img.frameRect(10, 10, N - 10, N - 10, 16, paint);
    img.frameRect(0, 0, N, N, 4, mix(grain, rgb(0, 0, 0), 0.3f)); // worn edge
    text.drawCentred(img, std::string(1, letter), N / 2 + 3, N / 2 + 3, 190, rgb(0, 0, 0, 70));
    text.drawCentred(img, std::string(1, letter), N / 2, N / 2, 190, paint);
    return img;
}

} // namespace

bool makeLetterBlocks(const std::string& root) {
    TextRaster text(true);
    if (!text.ok()) return false;
    struct Block { char letter; const char* name; Rgba paint; };
    const Block blocks[] = {{'A', "acube", rgb(206, 36, 36)},
                            {'B', "bcube", rgb(34, 78, 200)},
                            {'C', "ccube", rgb(30, 150, 60)},
                            {'D', "dcube", rgb(236, 138, 14)}};
    bool ok = true;
    for (const Block& b : blocks) {
        const std::string name = b.name;
        MeshBuilder mb;
        mb.addMaterial(textured(name, name + ".png", 0.2f, 30.0f));
        mb.box({-1, -1, -1}, {1, 1, 1}); // half-size 1: the game scales blocks by 10
        ok &= writeTexture(letterFace(text, b.letter, b.paint), root, "meshes/cube", name + ".png");
        ok &= writeMesh(mb, root, "meshes/cube", name + ".obj", name + ".mtl");
    }
    return ok;
}

namespace {

// Six coloured panels with white seams and white caps at the poles.
Image beachBallTexture() {
    constexpr int W = 256, H = 128;
    const Rgba panels[6] = {rgb(228, 40, 40), rgb(250, 208, 30), rgb(36, 96, 220),
                            rgb(250, 250, 250), rgb(40, 170, 70), rgb(246, 130, 24)};
    Image img(W, H);
    for (int y = 0; y < H; ++y) {
        const float lat = std::fabs(0.5f - (y + 0.5f) / H) * 180.0f; // degrees from equator
        for (int x = 0; x < W; ++x) {
            const float u = (x + 0.5f) * 6.0f / W;
            const int p = static_cast<int>(u) % 6;
            const float edge = std::min(u - std::floor(u), std::ceil(u) - u) * (W / 6.0f);
            Rgba c = panels[p];
            if (edge < 1.2f && lat < 68) c = mix(c, rgb(235, 235, 235), 0.7f);
            if (lat > 70) c = rgb(248, 248, 248);
            else if (lat > 68) c = rgb(200, 200, 200);
            img.set(x, y, c);
        }
    }
    return img;
}

} // namespace

bool makeBall(const std::string& root) {
    // A sphere of radius 0.1: the game gives the ball scale 100 and a sphere
    // shape of radius maxX x 100 = 10, resting on the table at y = 10.
    MeshBuilder mb;
    mb.addMaterial(textured("beachball", "pokeball.png", 0.6f, 60.0f));
    std::vector<glm::vec2> profile;
    for (int i = 0; i <= 16; ++i) { // even ring count: the equator reaches x = 0.1 exactly
        const float t = glm::pi<float>() * i / 16 - glm::half_pi<float>();
        profile.push_back({0.1f * std::cos(t), 0.1f * std::sin(t)});
    }
    smoothLathe(mb, profile, 24, {0, 0, 0}, 60.0f);
    return writeTexture(beachBallTexture(), root, "meshes", "pokeball.png") &&
           writeMesh(mb, root, "meshes", "pokeball.obj", "pokeball.mtl");
}

namespace {

// Quilted paper: a soft diamond emboss pattern.
Image paperTexture() {
    constexpr int N = 128;
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float a = std::sin(glm::two_pi<float>() * (x + y) / 16.0f);
            const float b = std::sin(glm::two_pi<float>() * (x - y) / 16.0f);
            const float dot = std::max(0.0f, a * b);
            const float n = hashNoise(x, y, 77u) * 0.05f;
            img.set(x, y, mix(rgb(250, 250, 246), rgb(206, 206, 200), dot * 0.6f + n));
        }
    return img;
}

// The roll's end seen from above: concentric layers (v runs across them).
Image paperEndTexture() {
    constexpr int W = 8, H = 64;
    Image img(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            img.set(x, y, (y % 4 == 0) ? rgb(214, 214, 208) : rgb(246, 246, 242));
    return img;
}

} // namespace

bool makeToiletPaper(const std::string& root) {
    // Real proportions (outer radius 5.5, height 10, tube radius 2.2), then
    // centred and fitted to half height 10 / 170: scaled by 170 the roll is
    // 20 units tall and stands on the table at y = 10.
    const float h = 5.0f, rOut = 5.5f, rTube = 2.5f, rIn = 2.2f;
    MeshBuilder mb;
    mb.addMaterial(textured("paperside", "toiletpaper.png", 0.05f, 8.0f));
    smoothLathe(mb, {{rOut, -h}, {rOut, h}}, 32, {0, 0, 0}, 40.0f, 3.0f, 1.0f);
    mb.addMaterial(textured("paperend", "toiletpaper_end.png", 0.05f, 8.0f));
    std::vector<glm::vec2> top, bottom;
    for (int i = 0; i <= 8; ++i) {
        const float r = rOut + (rTube - rOut) * i / 8.0f;
        top.push_back({r, h});
        bottom.push_back({rTube + (rOut - rTube) * i / 8.0f, -h});
    }
    mb.lathe(top, 32);
    mb.lathe(bottom, 32);
    mb.addMaterial(plain("cardboard", {0.62f, 0.46f, 0.3f}, 0.05f, 8.0f));
    mb.lathe({{rTube, h}, {rIn, h}, {rIn, -h}, {rTube, -h}}, 32);
    centreAndFitHalfHeight(mb, 10.0f / 170.0f);
    return writeTexture(paperTexture(), root, "meshes", "toiletpaper.png") &&
           writeTexture(paperEndTexture(), root, "meshes", "toiletpaper_end.png") &&
           writeMesh(mb, root, "meshes", "toiletpaper.obj", "toiletpaper.mtl");
}

bool makeGlass(const std::string& root) {
    // A tumbler with some water in it. The level scales it by 6 and places it
    // at y = 5, so its half height is 5 / 6.
    const float h = 5.0f, rb = 2.7f, rt = 3.3f, wall = 0.18f, base = 0.7f;
    MeshBuilder mb;
    // Drawn before the glass (groups draw in name order) so it shows through.
    Material water = plain("aqua", {0.45f, 0.7f, 0.95f}, 0.8f, 90.0f, 0.55f);
    mb.addMaterial(water);
    const float wy = -h + base + 0.02f, wTop = 1.2f;
    const float rAt = [&] { return rb - wall + (rt - rb) * (wTop + h) / (2 * h) - 0.03f; }();
    smoothLathe(mb, {{0.0f, wy}, {rb - wall - 0.02f, wy}, {rAt, wTop}, {0.0f, wTop}}, 32);
    Material glass = plain("glass", {0.82f, 0.93f, 0.97f}, 1.0f, 120.0f, 0.32f);
    mb.addMaterial(glass);
    smoothLathe(mb, {{0.0f, -h}, {rb, -h}, {rt, h}, {rt - wall, h}, {rb - wall, -h + base}, {0.0f, -h + base}}, 32);
    centreAndFitHalfHeight(mb, 5.0f / 6.0f);
    return writeMesh(mb, root, "meshes", "glass.obj", "glass.mtl");
}

} // namespace assetgen::scenery
