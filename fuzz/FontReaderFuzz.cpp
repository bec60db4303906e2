// Feeds arbitrary bytes to the ".glf" font reader. Seed it with
// external/osaka_font.glf; run with a small -malloc_limit_mb so that any
// allocation beyond what the input's length allows is reported.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "decorations/FontReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    FontReader reader;
    const bool ok = reader.read(in);
    const FontHeader& h = reader.header;
    if (!ok) {
        if (!h.chars.empty() || !reader.texels.empty() || h.endChar >= h.startChar) std::abort();
        return 0;
    }
    // A font that was taken fits its input and has all its parts.
    const uint64_t glyphs = uint64_t(int64_t(h.endChar) - h.startChar + 1);
    const uint64_t texels = 2 * uint64_t(h.texWidth) * uint64_t(h.texHeight);
    if (h.texWidth <= 0 || h.texHeight <= 0 || h.chars.size() != glyphs || reader.texels.size() != texels ||
        24 + 24 * glyphs + texels > size)
        std::abort();
    return 0;
}
