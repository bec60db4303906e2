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

inline FIBITMAP* pattern(const ImageLayout& layout, int width, int height) {
    FIBITMAP* dib = FreeImage_AllocateT(layout.type, width, height, layout.bpp);
    if (!dib) return nullptr;
    BYTE* bits = FreeImage_GetBits(dib);
    for (unsigned i = 0; i < FreeImage_GetPitch(dib) * unsigned(height); ++i) bits[i] = BYTE(i * 37 + 11);
    return dib;
}

// 5x3 pixels of a fixed pattern with a 2x2 thumbnail, which the TARGA
// (extension area) and JPEG (JFXX segment) writers store; false when the
// library cannot save it.
inline bool writeImage(const ImageLayout& layout, const std::string& path) {
    FIBITMAP* dib = pattern(layout, 5, 3);
    if (!dib) return false;
    if (FIBITMAP* thumbnail = pattern(layout, 2, 2)) {
        FreeImage_SetThumbnail(dib, thumbnail);
        FreeImage_Unload(thumbnail);
    }
    const bool ok = FreeImage_Save(layout.format, dib, path.c_str(), 0) != 0;
    FreeImage_Unload(dib);
    return ok;
}

} // namespace fuzzwork
