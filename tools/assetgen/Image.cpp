#include "tools/assetgen/Image.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>

namespace assetgen {

Rgba rgb(int r, int g, int b, int a) {
    auto c = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    return {c(r), c(g), c(b), c(a)};
}

Rgba mix(Rgba a, Rgba b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    auto m = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (y - x) * t));
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), m(a.a, b.a)};
}

Image::Image(int width, int height, Rgba fill)
    : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

Rgba Image::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return {};
    return px[static_cast<size_t>(y) * w + x];
}

void Image::set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    px[static_cast<size_t>(y) * w + x] = c;
}

void Image::blend(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    Rgba& d = px[static_cast<size_t>(y) * w + x];
    const int sa = c.a, da = d.a;
    const int outA = sa + da * (255 - sa) / 255;
    if (outA == 0) { d = {}; return; }
    auto ch = [&](int s, int dd) { return (s * sa + dd * da * (255 - sa) / 255) / outA; };
    d = rgb(ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), outA);
}

void Image::fillRect(int x0, int y0, int x1, int y1, Rgba c) {
    for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(w, x1); ++x) blend(x, y, c);
}

void Image::frameRect(int x0, int y0, int x1, int y1, int t, Rgba c) {
    fillRect(x0, y0, x1, y0 + t, c);
    fillRect(x0, y1 - t, x1, y1, c);
    fillRect(x0, y0 + t, x0 + t, y1 - t, c);
    fillRect(x1 - t, y0 + t, x1, y1 - t, c);
}

void Image::fillCircle(float cx, float cy, float r, Rgba c) {
    const int x0 = static_cast<int>(std::floor(cx - r - 1)), x1 = static_cast<int>(std::ceil(cx + r + 1));
    const int y0 = static_cast<int>(std::floor(cy - r - 1)), y1 = static_cast<int>(std::ceil(cy + r + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float cover = std::clamp(r - d + 0.5f, 0.0f, 1.0f); // soft edge
            if (cover > 0) blend(x, y, {c.r, c.g, c.b, static_cast<uint8_t>(c.a * cover)});
        }
}

bool Image::writePng(const std::string& path, bool keepAlpha) const {
    bool opaque = !keepAlpha;
    if (opaque)
        for (const Rgba& p : px) if (p.a != 255) { opaque = false; break; }
    const int bpp = opaque ? 24 : 32;
    FIBITMAP* bmp = FreeImage_Allocate(w, h, bpp);
    if (!bmp) return false;
    for (int y = 0; y < h; ++y) {
        // FreeImage scan lines run bottom-up.
        BYTE* line = FreeImage_GetScanLine(bmp, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const Rgba& p = px[static_cast<size_t>(y) * w + x];
            BYTE* d = line + x * (bpp / 8);
            d[FI_RGBA_RED] = p.r;
            d[FI_RGBA_GREEN] = p.g;
            d[FI_RGBA_BLUE] = p.b;
            if (bpp == 32) d[FI_RGBA_ALPHA] = p.a;
        }
    }
    const bool ok = FreeImage_Save(FIF_PNG, bmp, path.c_str(), PNG_Z_BEST_COMPRESSION) != 0;
    FreeImage_Unload(bmp);
    return ok;
}

float hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = seed * 374761393u + static_cast<uint32_t>(x) * 668265263u +
                 static_cast<uint32_t>(y) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFFu) / 16777216.0f;
}

float smoothNoise(float x, float y, uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = x - xi, fy = y - yi;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = hashNoise(xi, yi, seed), b = hashNoise(xi + 1, yi, seed);
    const float c = hashNoise(xi, yi + 1, seed), d = hashNoise(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

} // namespace assetgen
