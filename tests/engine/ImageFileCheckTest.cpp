#include <gtest/gtest.h>

#include <FreeImage.h>

#include <string>

#include "engine/ImageFileCheck.h"

namespace {

std::string le(unsigned long long value, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += char((value >> (8 * i)) & 0xFF);
    return s;
}

// A TARGA header: no ID, no colour map, origin 0.
std::string tga(int type, unsigned width, unsigned height, int depth) {
    return std::string("\0\0", 2) + char(type) + std::string(9, '\0') + le(width, 2) + le(height, 2) +
           char(depth) + '\0';
}

const std::string kSignature("TRUEVISION-XFILE.\0", 18);

std::string footer(unsigned extension) { return le(extension, 4) + le(0, 4) + kSignature; }

// A 1x1 picture whose extension area points to a thumbnail of stampSize
// bytes claiming 255x255 pixels.
std::string tgaWithThumbnail(unsigned stampSize, int depth = 24) {
    std::string file = tga(2, 1, 1, depth) + std::string((depth + 7) / 8, 'p');
    const unsigned stamp = unsigned(file.size());
    file += std::string("\xff\xff", 2) + std::string(stampSize - 2, 'x');
    std::string area(495, '\0');
    area.replace(486, 4, le(stamp, 4));
    const unsigned extension = unsigned(file.size());
    return file + area + footer(extension);
}

std::string saved(FREE_IMAGE_FORMAT format, int bpp, int flags = 0) {
    FIBITMAP* dib = FreeImage_Allocate(3, 2, bpp);
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(format, dib, memory, flags);
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    std::string bytes(reinterpret_cast<char*>(data), size);
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(dib);
    return bytes;
}

} // namespace

TEST(ImageFileCheck, WhatTheLibraryWritesIsTakenAsItsFormat) {
    struct Case { FREE_IMAGE_FORMAT format; int bpp, flags; };
    const Case cases[] = {{FIF_PNG, 32, 0},       {FIF_JPEG, 24, 0},  {FIF_BMP, 8, 0},
                          {FIF_BMP, 24, BMP_SAVE_RLE}, {FIF_TARGA, 32, 0}, {FIF_TARGA, 24, TARGA_SAVE_RLE},
                          {FIF_PBMRAW, 1, 0},     {FIF_PGM, 8, 0},    {FIF_PPMRAW, 24, 0}};
    for (const Case& c : cases) {
        const std::string file = saved(c.format, c.bpp, c.flags);
        ASSERT_FALSE(file.empty()) << c.format;
        EXPECT_TRUE(ImageFileCheck::supported(c.format));
        // The PNM reader answers for the whole family.
        const int found = ImageFileCheck::contentFormat(file);
        EXPECT_TRUE(found == c.format || (c.format >= FIF_PBM && found == FIF_PBM)) << c.format;
        EXPECT_EQ(ImageFileCheck::problem(c.format, file), "") << c.format;
    }
}

TEST(ImageFileCheck, HeadersTheReadersWouldTrustAreRefused) {
    const std::string shortHeader = "shorter than its header says", damaged = "with a damaged header";
    struct Case { const char* what; int format; std::string bytes; std::string problem; };
    const Case cases[] = {
        {"tga pixels", FIF_TARGA, tga(2, 2, 2, 24) + std::string(12, 'p'), ""},
        {"tga pixels cut", FIF_TARGA, tga(2, 2, 2, 24) + std::string(11, 'p'), shortHeader},
        {"tga no rows", FIF_TARGA, tga(2, 2, 0, 24), damaged},
        {"tga depth", FIF_TARGA, tga(2, 1, 1, 7) + "p", damaged},
        {"tga rle", FIF_TARGA, tga(10, 4, 2, 32) + "\x83" + std::string(4, 'p') + "\x03" + std::string(16, 'p'),
         ""},
        {"tga rle past the last pixel", FIF_TARGA, tga(10, 4, 2, 32) + "\x88" + std::string(8, 'p'), damaged},
        {"tga rle cut", FIF_TARGA, tga(10, 4, 2, 32) + "\x83" + std::string(4, 'p') + "\x03" + std::string(12, 'p'),
         shortHeader},
        {"tga rle cache", FIF_TARGA, tga(10, 100, 100, 32) + "\x81", shortHeader},
        {"tga footer", FIF_TARGA, tga(2, 1, 1, 24) + "abc" + footer(0), ""},
        {"tga footer in header", FIF_TARGA, tga(2, 1, 1, 24) + kSignature, shortHeader},
        {"tga extension outside", FIF_TARGA, tga(2, 1, 1, 24) + "abc" + footer(100000), damaged},
        {"tga thumbnail", FIF_TARGA, tgaWithThumbnail(255 * 255 * 3 + 2), ""},
        {"tga thumbnail cut", FIF_TARGA, tgaWithThumbnail(4), damaged},
        {"tga 15-bit thumbnail", FIF_TARGA, tgaWithThumbnail(255 * 255 * 2 + 2, 15), damaged},
        {"pbm", FIF_PBMRAW, "P4\n# comment\n9 2\n" + std::string(4, 'p'), ""},
        {"pbm cut", FIF_PBMRAW, "P4\n9 2\n" + std::string(3, 'p'), shortHeader},
        {"pbm width overflows", FIF_PBMRAW, "P4\n4294967291 1\n" + std::string(64, 'p'), damaged},
        {"pgm plain", FIF_PGM, "P2 2 1 255 0 17\n", ""},
        {"pgm plain cut", FIF_PGM, "P2 2 1 255 0 1", shortHeader},
        {"ppm 16 bits", FIF_PPMRAW, "P6 1 1 65535\n" + std::string(6, 'p'), ""},
        {"ppm 16 bits cut", FIF_PPMRAW, "P6 1 1 65535\n" + std::string(5, 'p'), shortHeader},
        {"pnm no header", FIF_PPM, "P6 1", shortHeader},
        {"bmp info size", FIF_BMP, "BM" + std::string(12, '\0') + le(41, 4) + std::string(40, '\0'),
         damaged},
        {"bmp pixels cut", FIF_BMP, "BM" + le(0, 8) + le(54, 4) + le(40, 4) + le(5, 4) + le(5, 4) +
                                        le(1, 2) + le(24, 2) + std::string(24 + 79, '\0'), shortHeader},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImageFileCheck::problem(c.format, c.bytes), c.problem) << c.what;
}

TEST(ImageFileCheck, JpegLosesOnlyTheSegmentsTheLibraryParsesItself) {
    const std::string jpeg = saved(FIF_JPEG, 24);
    ASSERT_EQ(jpeg.compare(2, 4, "\xff\xe0\0\x10", 4), 0);  // starts with its JFIF segment
    auto segment = [](char marker, const std::string& body) {
        return std::string("\xff") + marker + char((body.size() + 2) >> 8) + char(body.size() + 2) + body;
    };
    const std::string exif = segment('\xe1', std::string("Exif\0\0II*\0\x08\0\0\0\xff\xff", 16));
    const std::string metadata = exif + segment('\xed', "Photoshop 3.0") + segment('\xe0', "JFXX") +
                                 segment('\xe0', "") + "\xff\xff";  // and a fill byte
    const std::string kept = segment('\xe2', "ICC_PROFILE") + segment('\xfe', "comment");
    EXPECT_EQ(ImageFileCheck::jpegWithoutMetadata(jpeg.substr(0, 2) + metadata + kept + jpeg.substr(2)),
              jpeg.substr(0, 2) + "\xff\xff" + kept + jpeg.substr(2));
    // A segment running past the end ends the copy; what is not a JPEG stays.
    EXPECT_EQ(ImageFileCheck::jpegWithoutMetadata(jpeg.substr(0, 2) + kept + exif.substr(0, 9)),
              jpeg.substr(0, 2) + kept);
    EXPECT_EQ(ImageFileCheck::jpegWithoutMetadata("P6 1 1 255\n"), "P6 1 1 255\n");
    // Stray bytes, a stuffed FF 00 and a marker the decoder does not know
    // (two bytes to it, whatever length follows) hide no segment from the
    // stripping: the decoder steps over them and would parse what follows.
    const std::string unknown("\xff\x5f\0\x30", 4);
    EXPECT_EQ(ImageFileCheck::jpegWithoutMetadata(jpeg.substr(0, 2) + std::string("\0x\xff\0", 4) +
                                                  exif + "junk" + unknown + exif + kept + jpeg.substr(2)),
              jpeg.substr(0, 2) + unknown.substr(0, 2) + kept + jpeg.substr(2));
}
