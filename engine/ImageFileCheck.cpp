#include "engine/ImageFileCheck.h"

#include <FreeImage.h>

#include <climits>
#include <cstdint>

namespace {

using Bytes = std::string;

const char* const kShort = "shorter than its header says";
const char* const kDamaged = "with a damaged header";

unsigned byteAt(const Bytes& b, std::size_t i) { return static_cast<unsigned char>(b[i]); }

std::uint32_t u16(const Bytes& b, std::size_t i) { return byteAt(b, i) | byteAt(b, i + 1) << 8; }

std::uint32_t u32(const Bytes& b, std::size_t i) { return u16(b, i) | u16(b, i + 2) << 16; }

// a * b, saturating far beyond any file's length.
std::uint64_t times(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}

// True when `need` bytes follow `offset` in the file.
bool fits(const Bytes& b, std::uint64_t offset, std::uint64_t need) {
    return offset <= b.size() && need <= b.size() - offset;
}

// TARGA run-length data: packets of a count byte and one pixel (a run) or
// `count` pixels. The library goes on decoding until the picture is full and
// writes a packet that runs past its last pixel beyond it, so every packet
// must fit in the picture and in the file.
std::string targaRunsProblem(const Bytes& b, std::uint64_t pos, std::uint64_t pixels,
                             std::uint64_t pixelBytes) {
    std::uint64_t done = 0;
    while (done < pixels) {  // each packet takes at least a byte: bounded by the file
        if (pos >= b.size()) return kShort;
        const unsigned head = byteAt(b, pos++);
        const std::uint64_t count = (head & 0x7F) + 1;
        const std::uint64_t bytes = (head & 0x80) ? pixelBytes : count * pixelBytes;
        if (count > pixels - done) return kDamaged;
        if (!fits(b, pos, bytes)) return kShort;
        pos += bytes;
        done += count;
    }
    return "";
}

// TARGA: the 18-byte header, an image ID, a colour map, then the pixels; a
// version 2 file ends in a 26-byte footer that may point to an extension
// area of 495 bytes, which may point to a thumbnail (width and height bytes,
// then its pixels). The library reads footer, extension and thumbnail
// without checking them, and sizes its RLE read cache as the bytes after
// the header divided by the rows, reading a whole pixel out of it at once.
// It also gives a 15-bit thumbnail too little room (see below).
std::string targaProblem(const Bytes& b) {
    if (b.size() < 18) return kShort;
    const unsigned idLength = byteAt(b, 0), mapType = byteAt(b, 1), type = byteAt(b, 2);
    const std::uint64_t mapLength = u16(b, 5), mapBits = byteAt(b, 7);
    const std::uint64_t width = u16(b, 12), height = u16(b, 14), depth = byteAt(b, 16);
    const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    if (width == 0 || height == 0 || !knownType || !knownDepth) return kDamaged;

    static const char kSignature[] = "TRUEVISION-XFILE.";  // with its '\0': 18 bytes
    if (b.size() > 18 && b.compare(b.size() - 18, 18, kSignature, 18) == 0) {
        if (b.size() < 18 + 26) return kShort;
        const std::uint64_t footer = b.size() - 26;
        const std::uint64_t extension = u32(b, footer);
        if (extension > 0) {
            if (extension > footer || footer - extension < 495) return kDamaged;
            const std::uint64_t stamp = u32(b, extension + 486);
            if (stamp > 0 && stamp < footer) {
                // A 15-bit thumbnail gets rows of 15 bits a pixel and is
                // read at two bytes a pixel: the last row overruns it.
                if (footer - stamp < 2 || depth == 15) return kDamaged;
                const std::uint64_t line = (depth + 7) / 8 * byteAt(b, stamp);
                if (line * byteAt(b, stamp + 1) > footer - stamp - 2) return kDamaged;
            }
        }
    }

    const std::uint64_t pixelBytes = (depth + 7) / 8;
    const std::uint64_t start = 18 + idLength + (mapType != 0 ? mapLength * ((mapBits + 7) / 8) : 0);
    if (type < 9) return fits(b, start, width * height * pixelBytes) ? "" : kShort;
    if (!fits(b, start, height * pixelBytes)) return kShort;
    return targaRunsProblem(b, start, width * height, pixelBytes);
}

// A PNM header number as the library reads it: anything up to the first
// digit is skipped ("#" comments to the line end), and the character after
// the number is taken too. False at the file's end or past INT_MAX.
bool pnmNumber(const Bytes& b, std::size_t& pos, std::uint64_t& value, bool& overflow) {
    while (pos < b.size() && !(b[pos] >= '0' && b[pos] <= '9')) {
        if (b[pos] == '#') {
            while (pos < b.size() && b[pos] != '\n') ++pos;
        }
        if (pos < b.size()) ++pos;
    }
    value = 0;
    while (pos < b.size() && b[pos] >= '0' && b[pos] <= '9') {
        value = value * 10 + unsigned(b[pos] - '0');
        if (value > INT_MAX) {
            overflow = true;
            return false;
        }
        ++pos;
    }
    if (pos >= b.size()) return false;
    ++pos;
    return true;
}

// PNM: "P1" to "P6", width, height and (but for bitmaps) the largest
// sample, then the samples: plain text (at least a digit and a separator
// each) or raw bytes. The library multiplies a width that overflowed into
// a negative number as if it were unsigned.
std::string pnmProblem(const Bytes& b) {
    if (b.size() < 2 || b[0] != 'P' || b[1] < '1' || b[1] > '6') return kDamaged;
    const char kind = b[1];
    const bool bitmap = kind == '1' || kind == '4';
    std::size_t pos = 2;
    std::uint64_t width = 0, height = 0, largest = 1;
    bool overflow = false;
    if (!pnmNumber(b, pos, width, overflow) || !pnmNumber(b, pos, height, overflow) ||
        (!bitmap && !pnmNumber(b, pos, largest, overflow)))
        return overflow ? kDamaged : kShort;
    const std::uint64_t channels = kind == '3' || kind == '6' ? 3 : 1;
    const std::uint64_t samples = times(width * height, channels);
    std::uint64_t need;
    if (kind <= '3') need = times(samples, 2);
    else if (bitmap) need = (width + 7) / 8 * height;
    else need = times(samples, largest > 255 ? 2 : 1);
    return fits(b, pos, need) ? "" : kShort;
}

// BMP: a 14-byte file header whose last word is the pixels' offset, an
// info header that starts with its own size, optional palette, then the
// pixels, each row padded to four bytes unless run-length encoded.
std::string bmpProblem(const Bytes& b) {
    if (b.size() < 18) return kShort;
    const std::uint64_t offset = u32(b, 10), infoSize = u32(b, 14);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 64 &&
        infoSize != 108 && infoSize != 124)
        return kDamaged;
    if (!fits(b, 14, infoSize) || offset > b.size()) return kShort;
    std::int64_t width, height;
    std::uint64_t bits, compression = 0;
    if (infoSize == 12) {
        width = u16(b, 18), height = u16(b, 20), bits = u16(b, 24);
    } else {
        width = std::int32_t(u32(b, 18)), height = std::int32_t(u32(b, 22));
        bits = u16(b, 28), compression = u32(b, 30);
    }
    if (width <= 0 || height == 0) return kDamaged;
    // Run-length data has no length to check; its reader stops at the end.
    if (compression == 1 || compression == 2) return "";
    const std::uint64_t rows = std::uint64_t(height < 0 ? -height : height);
    const std::uint64_t pitch = (times(std::uint64_t(width), bits) + 31) / 32 * 4;
    return fits(b, offset, times(pitch, rows)) ? "" : kShort;
}

// The markers the decoder reads a length for: frames, tables, restart
// interval, line count, application segments and comments.
bool jpegMarkerHasLength(unsigned marker) {
    return (marker >= 0xC0 && marker <= 0xCF) || (marker >= 0xDB && marker <= 0xDD) ||
           (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

bool isPnm(int format) {
    return format == FIF_PBM || format == FIF_PBMRAW || format == FIF_PGM ||
           format == FIF_PGMRAW || format == FIF_PPM || format == FIF_PPMRAW;
}

} // namespace

bool ImageFileCheck::supported(int format) {
    return format == FIF_PNG || format == FIF_JPEG || format == FIF_BMP || format == FIF_TARGA ||
           isPnm(format);
}

std::string ImageFileCheck::problem(int format, const std::string& bytes) {
    if (!supported(format)) {
        const char* name = FreeImage_GetFormatFromFIF(FREE_IMAGE_FORMAT(format));
        return std::string("in format ") + (name ? name : "?") +
               ", which is not read (PNG, JPEG, BMP, TARGA and PNM are)";
    }
    if (format == FIF_TARGA) return targaProblem(bytes);
    if (format == FIF_BMP) return bmpProblem(bytes);
    if (isPnm(format)) return pnmProblem(bytes);
    return "";  // libpng and libjpeg check their own data
}

std::string ImageFileCheck::jpegWithoutMetadata(const std::string& bytes) {
    if (bytes.size() < 2 || byteAt(bytes, 0) != 0xFF || byteAt(bytes, 1) != 0xD8) return bytes;
    std::string out = bytes.substr(0, 2);
    std::size_t pos = 2;
    while (pos + 1 < bytes.size()) {
        // The decoder looks for the next marker past any other bytes and
        // past a stuffed FF 00, so a segment behind them is parsed all the
        // same: drop them, as the decoder does, and go on looking.
        if (byteAt(bytes, pos) != 0xFF) {
            ++pos;
            continue;
        }
        const unsigned marker = byteAt(bytes, pos + 1);
        if (marker == 0x00) {
            pos += 2;
            continue;
        }
        if (marker == 0xFF) {  // fill byte
            out += bytes[pos++];
            continue;
        }
        // Start of scan: the compressed picture follows, copied as it is.
        // Markers the decoder reads no length for are copied alone: that
        // includes the ones it does not know, which the library lets it
        // step over as two bytes, not as the segment they claim to be.
        if (marker == 0xDA) break;
        if (!jpegMarkerHasLength(marker)) {
            out.append(bytes, pos, 2);
            pos += 2;
            continue;
        }
        if (pos + 4 > bytes.size()) return out;
        const std::size_t end = pos + 2 + (byteAt(bytes, pos + 2) << 8 | byteAt(bytes, pos + 3));
        if (end > bytes.size() || end < pos + 4) return out;
        const bool jfif = marker == 0xE0 && end - pos >= 9 && bytes.compare(pos + 4, 5, "JFIF\0", 5) == 0;
        const bool parsed = marker == 0xE1 || marker == 0xED || (marker == 0xE0 && !jfif);
        if (!parsed) out.append(bytes, pos, end - pos);
        pos = end;
    }
    return out.append(bytes, pos, std::string::npos);
}

int ImageFileCheck::contentFormat(const std::string& bytes) {
    const FREE_IMAGE_FORMAT order[] = {FIF_BMP, FIF_JPEG, FIF_PBM,    FIF_PBMRAW, FIF_PGM,
                                       FIF_PGMRAW, FIF_PNG, FIF_PPM, FIF_PPMRAW, FIF_TARGA};
    // The library's memory stream only reads from the bytes.
    BYTE* data = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    FIMEMORY* stream = FreeImage_OpenMemory(data, DWORD(bytes.size()));
    int found = FIF_UNKNOWN;
    for (FREE_IMAGE_FORMAT format : order) {
        if (stream && FreeImage_ValidateFromMemory(format, stream)) {
            found = format;
            break;
        }
    }
    FreeImage_CloseMemory(stream);
    return found;
}
