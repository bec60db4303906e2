#pragma once

// One character of a bitmap font: its size as fractions of the font
// texture's width and height, and its place in the texture (t grows
// downwards through the glyph: ty1 is its top edge, ty2 its bottom edge).
struct Glyph {
    float dx = 0.0f;
    float dy = 0.0f;
    float tx1 = 0.0f;
    float ty1 = 0.0f;
    float tx2 = 0.0f;
    float ty2 = 0.0f;
};
