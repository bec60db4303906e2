#pragma once
#include <GL/glew.h>

#include <vector>

#include "decorations/Glyph.h"

// The header of a ".glf" bitmap font as held in memory: the five sizes of
// the file's header, the texture made from it, and the glyph table of the
// characters startChar to endChar (inclusive). An empty font (nothing read)
// has endChar below startChar and no glyphs, so it draws nothing.
struct FontHeader {
    GLuint tex = 0;
    int texWidth = 0;
    int texHeight = 0;
    int startChar = 0;
    int endChar = -1;
    std::vector<Glyph> chars; // endChar - startChar + 1 records
};
