#pragma once
// Small images of the layouts the texture loader converts, written by the
// image library itself: seeds for the texture target and pictures for the
// materials of the OBJ target to name.
#include <FreeImage.h>

#include <string>

namespace fuzzwork {

struct ImageLayout {
    FREE_IMAGE_FORMAT format;
    FREE_IMAGE_TYPE type;
    int bpp;
};

// 5x3 pixels of a fixed pattern; false when the library cannot save it.
inline bool writeImage(const ImageLayout& layout, const std::string& path) {
    FIBITMAP* dib = FreeImage_AllocateT(layout.type, 5, 3, layout.bpp);
    if (!dib) return false;
    BYTE* bits = FreeImage_GetBits(dib);
    for (unsigned i = 0; i < FreeImage_GetPitch(dib) * 3; ++i) bits[i] = BYTE(i * 37 + 11);
    const bool ok = FreeImage_Save(layout.format, dib, path.c_str(), 0) != 0;
    FreeImage_Unload(dib);
    return ok;
}

} // namespace fuzzwork
