// Head-up-display pictures: help screen, loading screen, the two win screens
// and the car icon of the lives display. Each is one quad over the unit
// square at z = 0 (counter-clockwise seen from +z) that the HUD camera
// stretches over the window (or, for the icon, over a small corner of it).
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/TextRaster.h"
#include "tools/assetgen/VehicleKit.h"

namespace assetgen {
namespace vehicles {
namespace {

constexpr int kScreenW = 1024, kScreenH = 768; // the shipped window size, 4:3

bool writeHudQuad(const std::string& dir, const std::string& base, const Image& img, bool alpha) {
    MeshBuilder mb;
    mb.addMaterial(texturedMaterial(base, base + ".png"));
    mb.quad({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0});
    bool ok = mb.write(dir, base + ".obj", base + ".mtl");
    return savePng(img, dir + "/" + base + ".png", alpha) && ok;
}

// Anti-aliased fill of a polygon (any winding, even-odd), 4 x 4 samples.
void fillPolygon(Image& img, const std::vector<glm::vec2>& pts, Rgba c) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const auto& p : pts) {
        x0 = std::min(x0, p.x); x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y); y1 = std::max(y1, p.y);
    }
    auto inside = [&](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++)
            if ((pts[i].y > y) != (pts[j].y > y) &&
                x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
                in = !in;
        return in;
    };
    for (int y = static_cast<int>(std::floor(y0)); y <= static_cast<int>(std::ceil(y1)); ++y)
        for (int x = static_cast<int>(std::floor(x0)); x <= static_cast<int>(std::ceil(x1)); ++x) {
            int hits = 0;
            for (int s = 0; s < 16; ++s)
                hits += inside(x + (s % 4 + 0.5f) / 4, y + (s / 4 + 0.5f) / 4);
            if (hits) img.blend(x, y, {c.r, c.g, c.b, static_cast<uint8_t>(c.a * hits / 16)});
        }
}

// A side view of the game's car (6 long, about 2 high, nose to the right
// when facing is +1), ground contact at (gx, gy) in pixels, sx / sy pixels
// per unit. grow widens every part by that many units (for outlines).
void drawCarSide(Image& img, float gx, float gy, float sx, float sy, int facing, Rgba body,
                 Rgba window, Rgba tyre, float grow = 0.0f) {
    auto P = [&](float x, float y) { return glm::vec2(gx + facing * x * sx, gy - y * sy); };
    const float g = grow;
    fillPolygon(img, {P(-3.0f - g, 0.3f - g), P(3.0f + g, 0.3f - g), P(3.0f + g, 0.72f + g),
                      P(2.2f + g, 0.95f + g), P(1.1f + g, 1.08f + g), P(0.3f + g, 1.95f + g),
                      P(-1.25f - g, 1.95f + g), P(-2.1f - g, 1.16f + g), P(-3.0f - g, 1.12f + g)}, body);
    if (g == 0.0f) {
        fillPolygon(img, {P(0.95f, 1.12f), P(0.22f, 1.82f), P(-0.3f, 1.82f), P(-0.3f, 1.12f)}, window);
        fillPolygon(img, {P(-0.45f, 1.12f), P(-0.45f, 1.82f), P(-1.15f, 1.82f), P(-1.85f, 1.16f)}, window);
        // Rear wing.
        fillPolygon(img, {P(-2.95f, 1.45f), P(-2.35f, 1.45f), P(-2.4f, 1.12f), P(-2.6f, 1.12f)}, body);
    }
    for (float wx : {1.26f, -1.56f}) {
        const glm::vec2 c = P(wx, 0.5f);
        fillPolygon(img, [&] {
            std::vector<glm::vec2> circle;
            for (int i = 0; i < 32; ++i) {
                const float a = 6.2831853f * i / 32;
                circle.push_back({c.x + std::cos(a) * (0.5f + g) * sx, c.y + std::sin(a) * (0.5f + g) * sy});
            }
            return circle;
        }(), tyre);
        if (g == 0.0f) img.fillCircle(c.x, c.y, 0.22f * std::min(sx, sy), rgb(200, 200, 208));
    }
}

// Text with a dark outline so it reads over any background.
void outlinedText(TextRaster& t, Image& img, const std::string& s, int x, int baseline, int size,
                  Rgba colour, Rgba outline, int width) {
    for (int dy = -width; dy <= width; ++dy)
        for (int dx = -width; dx <= width; ++dx)
            if (dx * dx + dy * dy <= width * width && (dx || dy)) t.draw(img, s, x + dx, baseline + dy, size, outline);
    t.draw(img, s, x, baseline, size, colour);
}
void outlinedCentred(TextRaster& t, Image& img, const std::string& s, int cx, int baseline, int size,
                     Rgba colour, Rgba outline, int width) {
    outlinedText(t, img, s, cx - t.measure(s, size) / 2, baseline, size, colour, outline, width);
}

Image helpScreen() {
    Image img(kScreenW, kScreenH, rgb(0, 0, 0, 110));
    const int px0 = 102, py0 = 54, px1 = 922, py1 = 714;
    img.fillRect(px0, py0, px1, py1, rgb(12, 18, 38, 205)); // over the dim: about 90 % opaque
    img.frameRect(px0, py0, px1, py1, 3, rgb(120, 170, 255));
    img.frameRect(px0 + 7, py0 + 7, px1 - 7, py1 - 7, 1, rgb(60, 90, 160));
    TextRaster bold(true), plain(false);
    const Rgba white = rgb(240, 240, 240), key = rgb(255, 214, 70), soft = rgb(150, 185, 235);
    bold.drawCentred(img, "HELP", kScreenW / 2, 108, 46, white);
    plain.drawCentred(img, "Push the other car off the table. Last car with lives left wins.", kScreenW / 2, 152, 21, soft);

    struct Row { const char* key; const char* action; };
    auto column = [&](int x, int y, const char* title, Rgba titleColour, const std::vector<Row>& rows, int keyWidth) {
        outlinedText(bold, img, title, x, y, 25, titleColour, rgb(0, 0, 0), 2);
        y += 42;
        for (const Row& r : rows) {
            bold.draw(img, r.key, x, y, 21, key);
            plain.draw(img, r.action, x + keyWidth, y, 21, white);
            y += 32;
        }
    };
    column(150, 212, "PLAYER 1  (red car)", rgb(255, 70, 60),
           {{"Up arrow", "accelerate"}, {"Down arrow", "brake / reverse"},
            {"Left / Right", "steer"}, {"Right Ctrl", "fire item"}}, 160);
    column(560, 212, "PLAYER 2  (green car)", rgb(70, 220, 90),
           {{"W", "accelerate"}, {"S", "brake / reverse"}, {"A / D", "steer"}, {"Space", "fire item"}}, 100);

    img.fillRect(150, 392, 874, 394, rgb(60, 90, 160));
    column(150, 436, "GAME KEYS", white,
           {{"F1", "help on / off"}, {"F2", "frame rate"}, {"F3", "wireframe"}, {"F4", "texture filter"},
            {"F5", "mipmaps"}}, 60);
    column(560, 436, "", white,
           {{"F6", "vertex buffers"}, {"F8", "frustum culling"}, {"F9", "transparency"},
            {"Escape", "quit"}, {"Alt+F4", "quit"}}, 100);
    const std::string pageKeys = "Page Up / Page Down";
    bold.draw(img, pageKeys, 150, 650, 21, key);
    plain.draw(img, "camera farther / nearer", 150 + bold.measure(pageKeys, 21) + 24, 650, 21, white);
    plain.drawCentred(img, "Touch a ? box for a rocket, a mine or the bullet power-up.  5 lives each.",
                      kScreenW / 2, 688, 18, soft);
    return img;
}

Image loadingScreen() {
    Image img(kScreenW, kScreenH);
    for (int y = 0; y < kScreenH; ++y) {
        const Rgba row = mix(rgb(14, 20, 48), rgb(58, 24, 70), y / float(kScreenH - 1));
        for (int x = 0; x < kScreenW; ++x) img.set(x, y, mix(row, rgb(0, 0, 0), 0.06f * hashNoise(x, y, 3u)));
    }
    // A table edge in perspective under the two cars.
    fillPolygon(img, {{0, 520}, {1024, 520}, {1024, 768}, {0, 768}}, rgb(120, 78, 40));
    for (int i = 0; i < 14; ++i) {
        const float x = -300.0f + i * 125.0f;
        fillPolygon(img, {{x + 300, 520}, {x + 304, 520}, {x * 1.9f - 150 + 8, 768}, {x * 1.9f - 150, 768}}, rgb(92, 58, 28));
    }
    fillPolygon(img, {{0, 514}, {1024, 514}, {1024, 524}, {0, 524}}, rgb(170, 120, 70));
    // The two players' cars, nose to nose.
    drawCarSide(img, 290, 600, 40, 40, 1, rgb(206, 28, 30), rgb(40, 60, 95), rgb(25, 25, 28));
    drawCarSide(img, 734, 600, 40, 40, -1, rgb(34, 168, 52), rgb(40, 60, 95), rgb(25, 25, 28));
    TextRaster bold(true);
    outlinedCentred(bold, img, "VANTORRA", kScreenW / 2, 250, 120, rgb(255, 210, 60), rgb(30, 10, 10), 5);
    bold.drawCentred(img, "table-top car combat for two", kScreenW / 2, 312, 28, rgb(190, 200, 240));
    outlinedCentred(bold, img, "Loading...", kScreenW / 2, 712, 46, rgb(255, 255, 255), rgb(0, 0, 0), 3);
    return img;
}

Image winScreen(const std::string& text, Rgba colour) {
    Image img(kScreenW, kScreenH, rgb(0, 0, 0, 0));
    // A translucent banner across the middle; the game stays visible around it.
    const int y0 = 270, y1 = 498;
    for (int y = y0; y < y1; ++y) {
        const float edge = std::min(y - y0, y1 - 1 - y) / 24.0f;
        const uint8_t a = static_cast<uint8_t>(175 * std::min(1.0f, edge));
        for (int x = 0; x < kScreenW; ++x) img.set(x, y, rgb(8, 8, 16, a));
    }
    img.fillRect(0, y0 + 24, kScreenW, y0 + 28, rgb(255, 200, 60, 230));
    img.fillRect(0, y1 - 28, kScreenW, y1 - 24, rgb(255, 200, 60, 230));
    // Confetti in the player's colour and gold.
    for (int i = 0; i < 90; ++i) {
        const float x = hashNoise(i, 1, 17u) * kScreenW, y = y0 + 34 + hashNoise(i, 2, 17u) * (y1 - y0 - 68);
        const Rgba c = i % 2 ? colour : rgb(255, 210, 70);
        if (std::abs(x - kScreenW / 2.0f) > 400 || std::abs(y - 384.0f) > 60)
            img.fillCircle(x, y, 3 + 3 * hashNoise(i, 3, 17u), c);
    }
    TextRaster bold(true);
    outlinedCentred(bold, img, text, kScreenW / 2, 416, 92, colour, rgb(10, 10, 10), 5);
    return img;
}

Image carIcon() {
    constexpr int N = 128;
    Image img(N, N, rgb(255, 255, 255, 0));
    // The HUD stretches the square picture to 4:3, so the car is drawn
    // narrower by 3/4 here to look right on screen.
    const float sy = 26.0f, sx = sy * 0.75f;
    drawCarSide(img, N / 2.0f, 98, sx, sy, 1, rgb(20, 20, 24), rgb(0, 0, 0, 0), rgb(20, 20, 24), 0.18f);
    drawCarSide(img, N / 2.0f, 98, sx, sy, 1, rgb(245, 245, 240), rgb(70, 110, 170), rgb(35, 35, 38));
    return img;
}

} // namespace
} // namespace vehicles

bool generateHud(const std::string& root) {
    using namespace vehicles;
    const std::string dir = root + "/meshes", iconDir = root + "/meshes/icons";
    if (!ensureDir(dir) || !ensureDir(iconDir)) return false;
    bool ok = writeHudQuad(dir, "helpscreen", helpScreen(), true);
    ok &= writeHudQuad(dir, "loadingscreen", loadingScreen(), false);
    ok &= writeHudQuad(dir, "p1leet", winScreen("PLAYER 1 WINS", rgb(255, 64, 52)), true);
    ok &= writeHudQuad(dir, "p2leet", winScreen("PLAYER 2 WINS", rgb(64, 230, 90)), true);
    ok &= writeHudQuad(iconDir, "icon_car", carIcon(), true);
    return ok;
}

} // namespace assetgen
