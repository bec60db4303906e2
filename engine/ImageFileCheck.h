#pragma once
#include <string>

// Decides whether the image library may read a texture file. Some of its
// readers trust their file's header and crash on a damaged one (a TARGA
// footer or thumbnail that points outside the file, a 15-bit TARGA
// thumbnail, an RLE read cache sized from the file's length, a run-length
// packet past the picture's end, a PNM width that overflows). For the
// formats the loader reads, the header (and a TARGA's run-length packets)
// is checked against the file's length first;
// other formats are not read at all, since their readers cannot be checked
// that way, nor even offered the file to tell its format.
class ImageFileCheck {
public:
    // The format (a FREE_IMAGE_FORMAT) among those read whose reader takes
    // the bytes (a whole file) for its own, tried in the library's order;
    // FIF_UNKNOWN when none does.
    static int contentFormat(const std::string& bytes);
    // Why the bytes must not be read as `format`; empty when they may be.
    // The text completes "texture image ...".
    static std::string problem(int format, const std::string& bytes);
    // PNG, JPEG, BMP, TARGA and the PNM family.
    static bool supported(int format);
    // A JPEG file without the segments whose contents the library parses
    // itself, trusting the offsets and counts inside them: Exif and XMP
    // (APP1), IPTC (APP13) and APP0 other than JFIF. The picture and its
    // colour information stay. Segments are found as the decoder finds
    // them: bytes between segments, which it skips, are left out, and a
    // marker it reads no length for is two bytes. A segment that runs past
    // the file's end ends the copy there.
    static std::string jpegWithoutMetadata(const std::string& bytes);
};
