#pragma once
#include <istream>
#include <string>
#include <vector>

#include "decorations/FontHeader.h"

// Reads a ".glf" bitmap font: a 24-byte header (six little-endian 32-bit
// words: tex, texWidth, texHeight, startChar, endChar, chars), a glyph
// record of six floats per character, then two bytes per texel (luminance,
// alpha), row 0 first, without padding. Needs no OpenGL.
//
// Every size is checked against the stream's length before anything is
// allocated: a font that does not fit its file is refused whole.
class FontReader {
public:
    // True when the stream holds a whole font; on false `header` is empty
    // and `texels` too. Reads from the stream's current position to its end.
    bool read(std::istream& in);
    // The same for a file; false when it cannot be opened.
    bool readFile(const std::string& path);

    FontHeader header; // tex stays 0: the reader makes no texture
    std::vector<unsigned char> texels; // 2 x texWidth x texHeight bytes

private:
    void clear();
};
