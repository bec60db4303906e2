#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

Rgba rgb(int r, int g, int b, int a = 255);
// Linear blend: t = 0 gives a, t = 1 gives b.
Rgba mix(Rgba a, Rgba b, float t);

// An 8-bit RGBA picture; row 0 is the TOP row (as drawn on paper). PNGs are
// written so that a viewer shows row 0 at the top.
class Image {
public:
    Image(int width, int height, Rgba fill = {});
    int width() const { return w; }
    int height() const { return h; }
    Rgba get(int x, int y) const;
    void set(int x, int y, Rgba c);           // ignores points outside
    void blend(int x, int y, Rgba c);         // alpha-over, ignores outside
    void fillRect(int x0, int y0, int x1, int y1, Rgba c); // [x0,x1) x [y0,y1)
    void fillCircle(float cx, float cy, float r, Rgba c);
    void frameRect(int x0, int y0, int x1, int y1, int thickness, Rgba c);
    // Writes a PNG: 24-bit when every pixel is opaque and keepAlpha is false,
    // else 32-bit. Returns false on failure.
    bool writePng(const std::string& path, bool keepAlpha = false) const;

private:
    int w, h;
    std::vector<Rgba> px;
};

// Deterministic value noise in [0, 1): same inputs, same result everywhere.
float hashNoise(int x, int y, uint32_t seed);
float smoothNoise(float x, float y, uint32_t seed);

} // namespace assetgen
