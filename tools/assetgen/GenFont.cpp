// external/osaka_font.glf: the head-up display's bitmap font.
//
// Layout (little-endian): six 32-bit header words (tex, texWidth, texHeight,
// startChar, endChar, chars), one record of six floats per character
// (dx, dy, tx1, ty1, tx2, ty2), then texWidth x texHeight texels of two bytes
// (luminance, alpha), row 0 first. Row 0 is texture row t = 0 and holds the
// TOP of the glyphs: the text element maps ty1 to a glyph's upper edge.
//
// Sizing: a glyph is drawn texels x scale^2 of the window, and the HUD uses
// scales 0.02 to 0.04. A 64-texel line height gives 2.6% of the window height
// at 0.02 (messages), 3.7% at 0.024 (lives) and 10% at 0.04 ("START!"), and
// keeps the frame-rate text at y = 0.97, scale 0.023, inside the window. The
// HUD's unit square is stretched over a 4:3 window, so glyphs are rendered
// 3/4 as wide as tall to look right on the shipped 1024 x 768 window.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/TextRaster.h"

namespace assetgen {
namespace {

constexpr int FIRST_CHAR = 32;
constexpr int LAST_CHAR = 126;
constexpr int PIXEL_SIZE = 52;        // em size in texels before the squeeze
constexpr double SQUEEZE = 0.75;      // horizontal scale: 4:3 window
constexpr int TEX_WIDTH = 512;        // even: rows upload without padding
constexpr int GAP = 3;                // empty texels around cells: no bleeding under linear filtering

struct GlyphBitmap {
    int width = 0;                    // cell width in texels
    int inkLeft = 0;                  // where the rendered bitmap starts in the cell
    int top = 0;                      // bitmap_top: rows above the baseline
    int rows = 0, cols = 0;
    std::vector<uint8_t> cover;       // rows x cols coverage, row 0 at the top
};

struct Record {
    float dx, dy, tx1, ty1, tx2, ty2;
};

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putI32(std::vector<uint8_t>& out, int32_t v) { putU32(out, static_cast<uint32_t>(v)); }

void putF32(std::vector<uint8_t>& out, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    putU32(out, bits);
}

bool renderGlyph(FT_Face face, int ch, GlyphBitmap& g) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(ch), FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.rows = static_cast<int>(bm.rows);
    g.cols = static_cast<int>(bm.width);
    g.top = slot->bitmap_top;
    g.cover.assign(static_cast<size_t>(g.rows) * g.cols, 0);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.cols; ++c) g.cover[static_cast<size_t>(r) * g.cols + c] = bm.buffer[r * bm.pitch + c];
    // The cell spans the advance and any ink that reaches past it (a 'j'
    // hanging to the left), so no stroke is cut off.
    const int left = slot->bitmap_left < 0 ? slot->bitmap_left : 0;
    const int right = std::max(advance, slot->bitmap_left + g.cols);
    g.width = right - left;
    g.inkLeft = slot->bitmap_left - left;
    return true;
}

} // namespace

bool generateFont(const std::string& root) {
    TextRaster raster(true);
    if (!raster.ok()) return false;
    FT_Face face = static_cast<FT_Face>(raster.rawFace());
    FT_Set_Pixel_Sizes(face, 0, PIXEL_SIZE);
    FT_Matrix squeeze;
    squeeze.xx = static_cast<FT_Fixed>(SQUEEZE * 65536.0);
    squeeze.xy = 0;
    squeeze.yx = 0;
    squeeze.yy = 0x10000;
    FT_Set_Transform(face, &squeeze, nullptr);

    std::vector<GlyphBitmap> glyphs(LAST_CHAR - FIRST_CHAR + 1);
    int maxAbove = 0, maxBelow = 0;
    for (int ch = FIRST_CHAR; ch <= LAST_CHAR; ++ch) {
        GlyphBitmap& g = glyphs[ch - FIRST_CHAR];
        if (!renderGlyph(face, ch, g)) {
            std::fprintf(stderr, "assetgen: glyph %d missing from the font\n", ch);
            return false;
        }
        if (g.rows == 0) continue;
        maxAbove = std::max(maxAbove, g.top);
        maxBelow = std::max(maxBelow, g.rows - g.top);
    }
    // Every cell has the same height and baseline, so a line of text sits
    // on one baseline; one texel of air above and below.
    const int cellHeight = maxAbove + maxBelow + 2;
    const int baseline = 1 + maxAbove;  // rows from the cell's top

    // Shelf packing: first the places, then a texture just tall enough.
    std::vector<int> cellX, cellY;
    int penX = GAP, penY = GAP;
    for (const GlyphBitmap& g : glyphs) {
        if (g.width + 2 * GAP > TEX_WIDTH) return false;
        if (penX + g.width + GAP > TEX_WIDTH) {
            penX = GAP;
            penY += cellHeight + GAP;
        }
        cellX.push_back(penX);
        cellY.push_back(penY);
        penX += g.width + GAP;
    }
    const int texHeight = (penY + cellHeight + GAP + 31) / 32 * 32;

    std::vector<uint8_t> alpha(static_cast<size_t>(TEX_WIDTH) * texHeight, 0);
    std::vector<Record> records;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const GlyphBitmap& g = glyphs[i];
        penX = cellX[i];
        penY = cellY[i];
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.cols; ++c) {
                const int x = penX + g.inkLeft + c;
                const int y = penY + baseline - g.top + r;
                alpha[static_cast<size_t>(y) * TEX_WIDTH + x] = g.cover[static_cast<size_t>(r) * g.cols + c];
            }
        Record rec;
        rec.dx = static_cast<float>(g.width) / TEX_WIDTH;
        rec.dy = static_cast<float>(cellHeight) / texHeight;
        rec.tx1 = static_cast<float>(penX) / TEX_WIDTH;
        rec.ty1 = static_cast<float>(penY) / texHeight;
        rec.tx2 = static_cast<float>(penX + g.width) / TEX_WIDTH;
        rec.ty2 = static_cast<float>(penY + cellHeight) / texHeight;
        records.push_back(rec);
    }

    std::vector<uint8_t> out;
    out.reserve(24 + 24 * records.size() + 2 * alpha.size());
    putI32(out, 0);                   // tex: replaced by the reader
    putI32(out, TEX_WIDTH);
    putI32(out, texHeight);
    putI32(out, FIRST_CHAR);
    putI32(out, LAST_CHAR);
    putI32(out, 0);                   // chars: replaced by the reader
    for (const Record& r : records) {
        putF32(out, r.dx);
        putF32(out, r.dy);
        putF32(out, r.tx1);
        putF32(out, r.ty1);
        putF32(out, r.tx2);
        putF32(out, r.ty2);
    }
    // White everywhere, coverage in alpha: the element's colour tints it and
    // filtered edges fade out instead of darkening.
    for (uint8_t a : alpha) {
        out.push_back(255);
        out.push_back(a);
    }

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(root) / "external", ec);
    const std::string path = root + "/external/osaka_font.glf";
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace assetgen
