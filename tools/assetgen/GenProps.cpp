// Props with more parts: handheld console, steel pipe, trophy.
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

#include "tools/assetgen/SceneryKit.h"
#include "tools/assetgen/SceneryParts.h"

namespace assetgen::scenery {

namespace {

// Front of the console, 6 x 10 units at 32 pixels a unit.
constexpr int kConsolePx = 32;
constexpr int kConsoleW = 6 * kConsolePx, kConsoleH = 10 * kConsolePx;

void roundRect(Image& img, int x0, int y0, int x1, int y1, float r, Rgba c) {
    img.fillRect(x0 + static_cast<int>(r), y0, x1 - static_cast<int>(r), y1, c);
    img.fillRect(x0, y0 + static_cast<int>(r), x0 + static_cast<int>(r), y1 - static_cast<int>(r), c);
    img.fillRect(x1 - static_cast<int>(r), y0 + static_cast<int>(r), x1, y1 - static_cast<int>(r), c);
    for (float cx : {x0 + r, x1 - r})
        for (float cy : {y0 + r, y1 - r}) {
            // Quarter circles: only the part outside the rectangles above.
            for (int y = static_cast<int>(cy - r); y < static_cast<int>(cy + r); ++y)
                for (int x = static_cast<int>(cx - r); x < static_cast<int>(cx + r); ++x) {
                    const bool inRects = (x >= x0 + r && x < x1 - r) || (y >= y0 + r && y < y1 - r);
                    if (!inRects && std::hypot(x + 0.5f - cx, y + 0.5f - cy) <= r) img.blend(x, y, c);
                }
        }
}

Image consoleTexture() {
    Image img(kConsoleW, kConsoleH);
    for (int y = 0; y < kConsoleH; ++y)
        for (int x = 0; x < kConsoleW; ++x)
            img.set(x, y, mix(rgb(200, 200, 194), rgb(182, 182, 176), hashNoise(x, y, 9u) * 0.5f));
    // Screen bezel, power light and the screen with a little landscape.
    roundRect(img, 14, 18, 178, 152, 10, rgb(78, 78, 92));
    img.fillCircle(24, 70, 3.5f, rgb(230, 30, 30));
    const int sx0 = 38, sy0 = 32, sx1 = 156, sy1 = 136;
    for (int y = sy0; y < sy1; ++y)
        for (int x = sx0; x < sx1; ++x) {
            const float hill = 100 + 14 * std::sin((x - sx0) * 0.07f) + 6 * std::sin((x - sx0) * 0.19f);
            Rgba c = mix(rgb(168, 186, 72), rgb(146, 166, 60), (y - sy0) / float(sy1 - sy0));
            if (y > hill) c = rgb(70, 100, 40);
            if (std::hypot(x - 128.0f, y - 56.0f) < 11) c = rgb(96, 124, 48);
            img.set(x, y, c);
        }
    img.fillRect(66, 86, 78, 100, rgb(40, 60, 30)); // a little figure on the hill
    img.fillRect(69, 80, 75, 86, rgb(40, 60, 30));
    // Cross pad, two round buttons, two small pills, speaker slots.
    const Rgba pad = rgb(40, 40, 46), button = rgb(156, 30, 74);
    img.fillRect(54 - 9, 222 - 30, 54 + 9, 222 + 30, pad);
    img.fillRect(54 - 30, 222 - 9, 54 + 30, 222 + 9, pad);
    img.fillCircle(122, 236, 15, button);
    img.fillCircle(158, 214, 15, button);
    roundRect(img, 62, 276, 88, 284, 4, rgb(110, 110, 118));
    roundRect(img, 98, 276, 124, 284, 4, rgb(110, 110, 118));
    for (int k = 0; k < 5; ++k)
        for (int t = 0; t < 34; ++t)
            img.fillRect(140 + k * 8 + t / 3, 300 - t, 144 + k * 8 + t / 3, 302 - t, rgb(120, 120, 126));
    return img;
}

} // namespace

bool makeConsole(const std::string& root) {
    // Modelled 6 x 10 x 2 standing upright, screen towards +z, then fitted to
    // half height 2.5: scaled by 2 it stands 10 units tall, centre at y = 5.
    MeshBuilder mb;
    mb.addMaterial(textured("consolebody", "gameboy.png", 0.3f, 40.0f));
    const float px = kConsolePx, W = kConsoleW, H = kConsoleH;
    const glm::vec4 bodyUv(2 / W, 1 - 10 / H, 10 / W, 1 - 2 / H);
    const std::vector<glm::vec4> uv = {bodyUv, bodyUv, bodyUv, bodyUv, {0, 0, 1, 1}, bodyUv};
    mb.box({-3, -5, -0.95f}, {3, 5, 0.95f}, &uv);
    // Raised controls at the front, battery cover at the back (keeps the
    // depth symmetric about the origin).
    auto at = [&](float x, float y) { return glm::vec2(-3 + x / px, 5 - y / px); };
    mb.addMaterial(plain("consolepad", {0.16f, 0.16f, 0.18f}, 0.4f, 40.0f));
    const glm::vec2 c = at(54, 222);
    mb.box({c.x - 0.28f, c.y - 0.94f, 0.95f}, {c.x + 0.28f, c.y + 0.94f, 1.0f});
    mb.box({c.x - 0.94f, c.y - 0.28f, 0.95f}, {c.x + 0.94f, c.y + 0.28f, 1.0f});
    mb.addMaterial(plain("consolebutton", {0.61f, 0.12f, 0.29f}, 0.5f, 50.0f));
    for (glm::vec2 b : {at(122, 236), at(158, 214)}) mb.cylinder({b.x, b.y, 0.975f}, 'z', 0.44f, 0.05f, 20);
    mb.addMaterial(plain("consoleback", {0.7f, 0.7f, 0.68f}, 0.2f, 20.0f));
    mb.box({-2.2f, -4.5f, -1.0f}, {2.2f, -0.8f, -0.95f});
    centreAndFitHalfHeight(mb, 2.5f);
    return writeTexture(consoleTexture(), root, "meshes", "gameboy.png") &&
           writeMesh(mb, root, "meshes", "gameboy.obj", "gameboy.mtl");
}

namespace {

// Painted steel with darker mottling and a few rust stains.
Image pipeTexture() {
    constexpr int N = 128;
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float n = tileFbm(x * 8.0f / N, y * 8.0f / N, 8, 8, 4, 61u);
            const float rust = tileFbm(x * 4.0f / N, y * 16.0f / N, 4, 16, 3, 71u);
            Rgba c = mix(rgb(124, 136, 140), rgb(84, 94, 100), n);
            c = mix(c, rgb(132, 78, 40), std::clamp((rust - 0.62f) / 0.1f, 0.0f, 1.0f) * 0.8f);
            img.set(x, y, c);
        }
    return img;
}

} // namespace

bool makePipe(const std::string& root) {
    // Built along y, then laid along x. Outer (flange) radius 2: scaled by 5
    // it is 20 units high, its centre at y = 10, and 50 units long.
    const float h = 5.0f, rFl = 2.0f, rOut = 1.6f, rIn = 1.3f, fl = 0.6f;
    MeshBuilder mb;
    mb.addMaterial(textured("pipesteel", "pipe.png", 0.5f, 40.0f));
    mb.lathe({{rIn, -h}, {rFl, -h}, {rFl, -h + fl}, {rOut, -h + fl}, {rOut, h - fl}, {rFl, h - fl},
              {rFl, h}, {rIn, h}}, 32);
    mb.addMaterial(plain("pipeinside", {0.16f, 0.15f, 0.14f}, 0.1f, 10.0f));
    mb.lathe({{rIn, h}, {rIn, -h}}, 32);
    mb.addMaterial(plain("pipebolt", {0.5f, 0.5f, 0.48f}, 0.7f, 60.0f));
    for (int s = -1; s <= 1; s += 2)
        for (int i = 0; i < 8; ++i) {
            const float a = glm::two_pi<float>() * (i + 0.5f) / 8;
            const glm::vec3 p(1.8f * std::cos(a), s * (h - fl - 0.1f), 1.8f * std::sin(a));
            mb.cylinder(p, 'y', 0.12f, 0.2f, 6);
        }
    // Lay it down: y becomes x.
    mb.transformSince(0, glm::rotate(glm::mat4(1.0f), -glm::half_pi<float>(), glm::vec3(0, 0, 1)), 0);
    centreAndFitHalfHeight(mb, 2.0f);
    return writeTexture(pipeTexture(), root, "meshes", "pipe.png") &&
           writeMesh(mb, root, "meshes", "pipe.obj", "pipe.mtl");
}

bool makeTrophy(const std::string& root) {
    // A two-handled cup on a dark plinth, fitted to half height 3: scaled by
    // 10 it is 60 units tall, centre at y = 30.
    MeshBuilder mb;
    mb.addMaterial(plain("plinth", {0.08f, 0.2f, 0.12f}, 0.6f, 70.0f));
    smoothLathe(mb, {{0.0f, -3.0f}, {0.95f, -3.0f}, {0.95f, -2.35f}, {0.8f, -2.15f}, {0.0f, -2.15f}}, 32);
    mb.addMaterial(plain("gold", {0.95f, 0.72f, 0.2f}, 0.9f, 90.0f));
    mb.lathe({{0.965f, -2.75f}, {0.965f, -2.55f}}, 32); // gold band around the plinth
    smoothLathe(mb, {{0.0f, -2.15f}, {0.7f, -2.15f}, {0.62f, -1.95f}, {0.28f, -1.65f}, {0.17f, -1.1f},
              {0.2f, -0.6f}, {0.36f, -0.4f}, {0.22f, -0.15f}, {0.42f, 0.1f}, {0.72f, 0.45f},
              {0.92f, 1.0f}, {1.0f, 1.6f}, {0.98f, 2.2f}, {1.04f, 2.5f}, {0.96f, 2.5f},
              {0.9f, 2.1f}, {0.88f, 1.5f}, {0.7f, 0.9f}, {0.0f, 0.7f}}, 32, {0, 0, 0}, 50.0f);
    const glm::vec2 path[] = {{0.9f, 2.05f}, {1.22f, 2.1f}, {1.42f, 1.85f}, {1.4f, 1.4f},
                              {1.18f, 0.98f}, {0.82f, 0.72f}};
    for (int s = -1; s <= 1; s += 2)
        for (size_t i = 0; i + 1 < std::size(path); ++i) {
            const glm::vec3 a(s * path[i].x, path[i].y, 0), b(s * path[i + 1].x, path[i + 1].y, 0);
            tube(mb, a, b, 0.09f, 10);
            mb.sphere(b, 0.09f, 4, 10);
        }
    centreAndFitHalfHeight(mb, 3.0f);
    return writeMesh(mb, root, "meshes", "worldcup.obj", "worldcup.mtl");
}

} // namespace assetgen::scenery
