#include "tools/assetgen/TextRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <fstream>

namespace assetgen {

std::string dejaVuPath(bool bold) {
    const char* name = bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf";
    for (const char* dir : {"/usr/share/fonts/truetype/dejavu/", "/usr/share/fonts/dejavu/"}) {
        const std::string p = std::string(dir) + name;
        if (std::ifstream(p).good()) return p;
    }
    return "";
}

TextRaster::TextRaster(bool bold) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return;
    library = lib;
    FT_Face f = nullptr;
    const std::string path = dejaVuPath(bold);
    if (path.empty() || FT_New_Face(lib, path.c_str(), 0, &f) != 0) {
        std::fprintf(stderr, "assetgen: cannot open DejaVu font (install fonts-dejavu-core)\n");
        return;
    }
    face = f;
}

TextRaster::~TextRaster() {
    if (face) FT_Done_Face(static_cast<FT_Face>(face));
    if (library) FT_Done_FreeType(static_cast<FT_Library>(library));
}

int TextRaster::measure(const std::string& text, int pixelSize) {
    if (!face) return 0;
    FT_Face f = static_cast<FT_Face>(face);
    FT_Set_Pixel_Sizes(f, 0, pixelSize);
    long width = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(f, ch, FT_LOAD_DEFAULT) != 0) continue;
        width += f->glyph->advance.x >> 6;
    }
    return static_cast<int>(width);
}

void TextRaster::draw(Image& img, const std::string& text, int x, int baselineY, int pixelSize, Rgba colour) {
    if (!face) return;
    FT_Face f = static_cast<FT_Face>(face);
    FT_Set_Pixel_Sizes(f, 0, pixelSize);
    int penX = x;
    for (unsigned char ch : text) {
        if (FT_Load_Char(f, ch, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = f->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const int cover = bm.buffer[row * bm.pitch + col];
                if (cover == 0) continue;
                img.blend(penX + g->bitmap_left + static_cast<int>(col),
                          baselineY - g->bitmap_top + static_cast<int>(row),
                          {colour.r, colour.g, colour.b, static_cast<uint8_t>(colour.a * cover / 255)});
            }
        penX += static_cast<int>(g->advance.x >> 6);
    }
}

void TextRaster::drawCentred(Image& img, const std::string& text, int cx, int cy, int pixelSize, Rgba colour) {
    const int w = measure(text, pixelSize);
    // Cap height of DejaVu is about 0.73 of the pixel size.
    draw(img, text, cx - w / 2, cy + static_cast<int>(pixelSize * 0.73f / 2), pixelSize, colour);
}

} // namespace assetgen
