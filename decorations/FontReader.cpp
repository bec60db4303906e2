#include "decorations/FontReader.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <utility>

namespace {

constexpr std::uint64_t kHeaderBytes = 24;
constexpr std::uint64_t kGlyphBytes = 24;

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::int32_t int32At(const unsigned char* p) {
    const std::uint32_t bits = littleEndian32(p);
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float floatAt(const unsigned char* p) {
    const std::uint32_t bits = littleEndian32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Bytes from the stream's position to its end; -1 when it cannot tell.
std::int64_t remainingLength(std::istream& in) {
    const std::streamoff start = in.tellg();
    if (start < 0) return -1;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(start);
    if (end < start || !in) return -1;
    return std::int64_t(end - start);
}

} // namespace

void FontReader::clear() {
    header = FontHeader();
    texels.clear();
    texels.shrink_to_fit();
}

bool FontReader::readFile(const std::string& path) {
    clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    return read(in);
}

bool FontReader::read(std::istream& in) {
    clear();
    const std::int64_t available = remainingLength(in);
    if (available < std::int64_t(kHeaderBytes)) return false;
    const std::uint64_t length = std::uint64_t(available);

    // The header as its 24 bytes; tex and chars are slots the file's writer
    // filled with its own values and mean nothing here.
    unsigned char bytes[kHeaderBytes];
    if (!in.read(reinterpret_cast<char*>(bytes), kHeaderBytes)) return false;
    const std::int64_t texWidth = int32At(bytes + 4);
    const std::int64_t texHeight = int32At(bytes + 8);
    const std::int64_t startChar = int32At(bytes + 12);
    const std::int64_t endChar = int32At(bytes + 16);
    if (texWidth <= 0 || texHeight <= 0 || endChar < startChar) return false;

    // 64-bit sizes: at most 2^32 glyphs and 2^63 texel bytes, no overflow.
    const std::uint64_t count = std::uint64_t(endChar - startChar + 1);
    const std::uint64_t glyphBytes = kGlyphBytes * count;
    const std::uint64_t texelBytes = 2 * std::uint64_t(texWidth) * std::uint64_t(texHeight);
    if (glyphBytes > length - kHeaderBytes) return false;
    if (texelBytes > length - kHeaderBytes - glyphBytes) return false;

    std::vector<Glyph> glyphs(count);
    for (Glyph& g : glyphs) {
        unsigned char record[kGlyphBytes];
        if (!in.read(reinterpret_cast<char*>(record), kGlyphBytes)) return false;
        g.dx = floatAt(record);
        g.dy = floatAt(record + 4);
        g.tx1 = floatAt(record + 8);
        g.ty1 = floatAt(record + 12);
        g.tx2 = floatAt(record + 16);
        g.ty2 = floatAt(record + 20);
    }
    std::vector<unsigned char> pixels(texelBytes);
    if (!in.read(reinterpret_cast<char*>(pixels.data()), std::streamsize(texelBytes))) return false;

    header.texWidth = int(texWidth);
    header.texHeight = int(texHeight);
    header.startChar = int(startChar);
    header.endChar = int(endChar);
    header.chars = std::move(glyphs);
    texels = std::move(pixels);
    return true;
}
