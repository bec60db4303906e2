#include "engine/ObjLineScanner.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void ObjLineScanner::longLine(std::size_t left) {
    if (left <= maxLineLength) {
        // The text ends within the line: it is the last one.
        lineEnd = limit;
        pos = limit;
        finished = true;
    } else if (pos[maxLineLength] == '\n') {
        // Exactly the longest line that fits.
        lineEnd = pos + maxLineLength;
        pos = lineEnd + 1;
    } else {
        // Too long: its start is read, and reading ends here.
        lineEnd = pos + maxLineLength;
        pos = limit;
        finished = true;
    }
}

bool ObjLineScanner::equals(const char* begin, const char* end, const char* keyword) {
    const std::size_t length = std::size_t(end - begin);
    return std::strlen(keyword) == length && std::memcmp(begin, keyword, length) == 0;
}

bool ObjLineScanner::nextString(std::string& text) {
    const char* begin;
    const char* end;
    if (!nextWord(begin, end))
        return false;
    text.assign(begin, end);
    return true;
}

float ObjLineScanner::parseFloat(const char* begin, const char* end) {
    const char* c = begin;
    if (c < end && *c == '+')
        ++c;
    // Only plain decimals: no "inf", "nan" or a second sign.
    const char* digits = (c < end && *c == '-') ? c + 1 : c;
    if (digits >= end || !(isDigit(*digits) || *digits == '.'))
        return 0.0f;
    float value = 0.0f;
    const std::from_chars_result result = std::from_chars(c, end, value);
    if (result.ec == std::errc())
        return value;
    if (result.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow the slow way; both are rare.
        const std::string copy(c, end);
        const float wide = std::strtof(copy.c_str(), nullptr);
        if (std::isinf(wide))
            return wide > 0.0f ? FLT_MAX : -FLT_MAX;
        return wide;
    }
    return 0.0f;
}

