#pragma once
#include <string>

#include "tools/assetgen/Image.h"

namespace assetgen {

// Renders text with FreeType from a font that Debian ships (fonts-dejavu).
class TextRaster {
public:
    // bold picks DejaVu Sans Bold, else DejaVu Sans.
    explicit TextRaster(bool bold = true);
    ~TextRaster();
    TextRaster(const TextRaster&) = delete;
    TextRaster& operator=(const TextRaster&) = delete;

    bool ok() const { return face != nullptr; }
    // Width in pixels of the text at the pixel size.
    int measure(const std::string& text, int pixelSize);
    // Draws text with its baseline at y (row 0 = top), left edge at x.
    void draw(Image& img, const std::string& text, int x, int baselineY, int pixelSize, Rgba colour);
    // Draws text centred horizontally on cx, vertically on cy.
    void drawCentred(Image& img, const std::string& text, int cx, int cy, int pixelSize, Rgba colour);

    // The raw FreeType face, for the bitmap-font builder.
    void* rawFace() const { return face; }

private:
    void* library = nullptr;
    void* face = nullptr;
};

// Where the fonts are; empty when not installed.
std::string dejaVuPath(bool bold);

} // namespace assetgen
