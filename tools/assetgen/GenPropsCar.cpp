// The parked car and the laptop.
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

#include "tools/assetgen/SceneryKit.h"
#include "tools/assetgen/SceneryParts.h"

namespace assetgen::scenery {

namespace {

glm::vec3 lerp3(glm::vec3 a, glm::vec3 b, float t) { return a + (b - a) * t; }

// A window pane on the cabin side b0-b1 (bottom edge) / t1-t0 (top edge),
// inset by the given fractions and lifted off the face to avoid z-fighting.
void pane(MeshBuilder& mb, glm::vec3 b0, glm::vec3 b1, glm::vec3 t1, glm::vec3 t0,
          float insetSide, float insetBottom, float insetTop) {
    const glm::vec3 n = glm::normalize(glm::cross(b1 - b0, t1 - b0)) * 0.006f;
    const glm::vec3 lb0 = lerp3(b0, t0, insetBottom), lb1 = lerp3(b1, t1, insetBottom);
    const glm::vec3 lt0 = lerp3(b0, t0, 1 - insetTop), lt1 = lerp3(b1, t1, 1 - insetTop);
    mb.quad(lerp3(lb0, lb1, insetSide) + n, lerp3(lb0, lb1, 1 - insetSide) + n,
            lerp3(lt0, lt1, 1 - insetSide) + n, lerp3(lt0, lt1, insetSide) + n);
}

} // namespace

bool makeParkedCar(const std::string& root) {
    // A generic blue hatchback in metres (4.4 long, 1.8 wide, 1.45 tall),
    // fitted to half height 0.025: scaled by 200 it is 29 units long and
    // 10 tall, centre at y = 5.
    MeshBuilder mb;
    mb.addMaterial(plain("carpaint", {0.12f, 0.27f, 0.72f}, 0.8f, 90.0f));
    mb.box({-0.88f, 0.28f, -2.15f}, {0.88f, 0.9f, 2.15f});
    const glm::vec3 bottom[4] = {{-0.84f, 0.9f, 0.95f}, {0.84f, 0.9f, 0.95f}, {0.84f, 0.9f, -2.0f}, {-0.84f, 0.9f, -2.0f}};
    const glm::vec3 top[4] = {{-0.74f, 1.45f, -0.1f}, {0.74f, 1.45f, -0.1f}, {0.74f, 1.45f, -1.85f}, {-0.74f, 1.45f, -1.85f}};
    prism(mb, bottom, top, false);
    mb.addMaterial(plain("carwindow", {0.1f, 0.13f, 0.2f}, 1.0f, 120.0f));
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const bool side = (i % 2) == 1; // faces 1 and 3 are the sides
        pane(mb, bottom[i], bottom[j], top[j], top[i], side ? 0.08f : 0.06f, 0.12f, 0.1f);
    }
    mb.addMaterial(plain("cartrim", {0.12f, 0.12f, 0.13f}, 0.3f, 20.0f));
    mb.box({-0.86f, 0.22f, 2.1f}, {0.86f, 0.45f, 2.2f});
    mb.box({-0.86f, 0.22f, -2.2f}, {0.86f, 0.45f, -2.1f});
    mb.quad({-0.35f, 0.55f, 2.153f}, {0.35f, 0.55f, 2.153f}, {0.35f, 0.72f, 2.153f}, {-0.35f, 0.72f, 2.153f});
    mb.addMaterial(plain("carheadlight", {1.0f, 0.97f, 0.8f}, 1.0f, 100.0f));
    for (int s = -1; s <= 1; s += 2) {
        const float x0 = s < 0 ? -0.8f : 0.45f, x1 = s < 0 ? -0.45f : 0.8f;
        mb.quad({x0, 0.66f, 2.153f}, {x1, 0.66f, 2.153f}, {x1, 0.82f, 2.153f}, {x0, 0.82f, 2.153f});
    }
    mb.addMaterial(plain("cartaillight", {0.85f, 0.08f, 0.06f}, 0.8f, 80.0f));
    for (int s = -1; s <= 1; s += 2) {
        const float x0 = s < 0 ? -0.8f : 0.5f, x1 = s < 0 ? -0.5f : 0.8f;
        mb.quad({x1, 0.66f, -2.153f}, {x0, 0.66f, -2.153f}, {x0, 0.84f, -2.153f}, {x1, 0.84f, -2.153f});
    }
    mb.addMaterial(plain("cartyre", {0.07f, 0.07f, 0.07f}, 0.1f, 10.0f));
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sz = -1; sz <= 1; sz += 2)
            mb.cylinder({sx * 0.78f, 0.33f, sz * 1.38f}, 'x', 0.33f, 0.24f, 20, true);
    mb.addMaterial(plain("carrim", {0.75f, 0.76f, 0.78f}, 0.9f, 90.0f));
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sz = -1; sz <= 1; sz += 2)
            mb.cylinder({sx * 0.78f, 0.33f, sz * 1.38f}, 'x', 0.19f, 0.25f, 12, true);
    centreAndFitHalfHeight(mb, 0.025f);
    return writeMesh(mb, root, "meshes", "subaru.obj", "subaru.mtl");
}

namespace {

Image keyboardTexture() {
    constexpr int W = 256, H = 180;
    const Rgba body = rgb(64, 66, 72), key = rgb(28, 28, 32), pad = rgb(84, 86, 94);
    Image img(W, H, body);
    const int rows = 6, cols = 14, kx0 = 22, ky0 = 14, kw = 15, gap = 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int x = kx0 + c * (kw + gap), y = ky0 + r * (11 + gap);
            if (r == 5 && c > 3 && c < 10) continue; // space bar below
            img.fillRect(x, y, x + kw, y + 11, key);
        }
    img.fillRect(kx0 + 4 * (kw + gap), ky0 + 5 * 12, kx0 + 10 * (kw + gap) - gap, ky0 + 5 * 12 + 11, key);
    img.fillRect(88, 104, 168, 160, pad);
    img.frameRect(88, 104, 168, 160, 1, rgb(100, 102, 110));
    return img;
}

Image screenTexture() {
    constexpr int W = 256, H = 176;
    Image img(W, H, rgb(14, 14, 16));
    for (int y = 10; y < H - 10; ++y)
        for (int x = 10; x < W - 10; ++x)
            img.set(x, y, mix(rgb(40, 110, 200), rgb(12, 40, 110), (y - 10) / float(H - 20)));
    const struct { int x0, y0, x1, y1; } wins[] = {{30, 28, 150, 110}, {110, 64, 232, 150}};
    for (const auto& w : wins) {
        img.fillRect(w.x0 + 3, w.y0 + 3, w.x1 + 3, w.y1 + 3, rgb(0, 0, 0, 90));
        img.fillRect(w.x0, w.y0, w.x1, w.y1, rgb(236, 238, 242));
        img.fillRect(w.x0, w.y0, w.x1, w.y0 + 10, rgb(70, 76, 90));
        for (int l = w.y0 + 18; l < w.y1 - 8; l += 9)
            img.fillRect(w.x0 + 8, l, w.x0 + 8 + static_cast<int>((w.x1 - w.x0 - 16) * (0.5f + 0.5f * hashNoise(l, w.x0, 3u))), l + 3, rgb(150, 156, 168));
    }
    img.fillRect(10, H - 22, W - 10, H - 10, rgb(30, 32, 40)); // task bar
    return img;
}

} // namespace

bool makeLaptop(const std::string& root) {
    // An open laptop in centimetres (34 wide), centred and halved: the game
    // scales it by 2 back to full size.
    MeshBuilder mb;
    const glm::vec4 bodyUv(1 / 256.0f, 1 / 180.0f, 6 / 256.0f, 6 / 180.0f);
    const std::vector<glm::vec4> baseUv = {bodyUv, bodyUv, {0, 0, 1, 1}, bodyUv, bodyUv, bodyUv};
    mb.addMaterial(textured("laptopkeys", "laptop_keys.png", 0.3f, 40.0f));
    mb.box({-17, 0, -12}, {17, 1.8f, 12}, &baseUv);
    mb.addMaterial(textured("laptopscreen", "laptop_screen.png", 0.5f, 60.0f));
    const glm::vec4 rimUv(1 / 256.0f, 1 / 176.0f, 5 / 256.0f, 5 / 176.0f);
    const std::vector<glm::vec4> lidUv = {rimUv, rimUv, rimUv, rimUv, {0, 0, 1, 1}, rimUv};
    const int pm = mb.mark(), nm = mb.normalMark();
    mb.box({-17, 0, -0.8f}, {17, 23, 0}, &lidUv);
    const glm::mat4 hinge = glm::rotate(glm::translate(glm::mat4(1.0f), {0, 1.8f, -11.2f}),
                                        glm::radians(-15.0f), glm::vec3(1, 0, 0));
    mb.transformSince(pm, hinge, nm);
    centreAndScale(mb, 0.5f);
    return writeTexture(keyboardTexture(), root, "meshes/laptop", "laptop_keys.png") &&
           writeTexture(screenTexture(), root, "meshes/laptop", "laptop_screen.png") &&
           writeMesh(mb, root, "meshes/laptop", "laptop.obj", "laptop.mtl");
}

} // namespace assetgen::scenery
