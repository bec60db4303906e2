#pragma once
#include <cstddef>
#include <cstring>
#include <string>

namespace objtext {

// 1 for white space, 2 for the NUL that ends a line's words, 0 otherwise.
struct CharClasses {
    unsigned char of[256] = {};
    constexpr CharClasses() {
        of[static_cast<unsigned char>(' ')] = 1;
        of[static_cast<unsigned char>('\t')] = 1;
        of[static_cast<unsigned char>('\r')] = 1;
        of[static_cast<unsigned char>('\v')] = 1;
        of[static_cast<unsigned char>('\f')] = 1;
        of[static_cast<unsigned char>('\n')] = 1;
        of[0] = 2;
    }
};
inline constexpr CharClasses charClasses;

inline unsigned char charClass(char c) {
    return charClasses.of[static_cast<unsigned char>(c)];
}

} // namespace objtext

// Walks the lines of an OBJ or MTL text held in memory, as a line-by-line
// stream read would: at most 254 characters of a line are taken, and a
// longer line is the last one read (so every pass over the same text stops
// at the same place). Words are runs of characters between white space; a
// NUL byte ends the line's words.
class ObjLineScanner {
public:
    static const std::size_t maxLineLength = 254;

    // The text must outlive the scanner.
    ObjLineScanner(const char* text, std::size_t size) : pos(text), limit(text + size) {}

    // Moves to the next line; false when there is none left.
    bool nextLine() {
        if (finished || pos >= limit) {
            finished = true;
            return false;
        }
        const std::size_t left = std::size_t(limit - pos);
        const std::size_t span = left < maxLineLength ? left : maxLineLength;
        const char* newline = static_cast<const char*>(std::memchr(pos, '\n', span));
        lineCursor = pos;
        if (newline) {
            lineEnd = newline;
            pos = newline + 1;
        } else {
            longLine(left);
        }
        return true;
    }

    // The next word of the current line, false when the line has no more.
    bool nextWord(const char*& begin, const char*& end) {
        const char* c = lineCursor;
        while (c < lineEnd && objtext::charClass(*c) == 1)
            ++c;
        if (c >= lineEnd || *c == '\0') {
            lineCursor = lineEnd;
            return false;
        }
        begin = c;
        while (c < lineEnd && objtext::charClass(*c) == 0)
            ++c;
        end = c;
        // A NUL ends the line's words for good.
        lineCursor = (c < lineEnd && *c == '\0') ? lineEnd : c;
        return true;
    }

    // Word compared against a keyword.
    static bool equals(const char* begin, const char* end, const char* keyword);

    // Next word as a float; 0 when the line has no more words or the word
    // does not start with a number.
    float nextFloat() {
        const char* begin;
        const char* end;
        if (!nextWord(begin, end))
            return 0.0f;
        return parseFloat(begin, end);
    }
    // Next word as a text; false (and text unchanged) when there is none.
    bool nextString(std::string& text);

    // A float from the leading characters of the text (decimal, optional
    // sign, fraction and exponent); 0 when there are none. Values beyond the
    // float range give the largest float of that sign.
    static float parseFloat(const char* begin, const char* end);

private:
    // A line without a line end within its first 254 characters.
    void longLine(std::size_t left);

    const char* pos;
    const char* limit;
    const char* lineCursor = nullptr;
    const char* lineEnd = nullptr;
    bool finished = false;
};
