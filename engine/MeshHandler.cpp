#include "engine/MeshHandler.h"

#include <FreeImage.h>

#include <utility>

#include "engine/FileLookup.h"
#include "engine/Globals.h"
#include "engine/ImageFileCheck.h"
#include "engine/Log.h"
#include "engine/ObjReader.h"
#include "engine/ResourceRegistry.h"

MeshHandler::MeshHandler() = default;

MeshHandler::~MeshHandler() {
    for (auto& entry : faceGroups)
        delete entry.second;
}

void MeshHandler::addFaceGroup(std::string name) {
    if (faceGroups.count(name) != 0)
        return;
    FaceGroup* group = new FaceGroup(name);
    faceGroups.emplace(std::move(name), group);
}

bool MeshHandler::hasFaceGroup(std::string name) const {
    return faceGroups.count(name) != 0;
}

FaceGroup* MeshHandler::getFaceGroup(std::string name) {
    auto it = faceGroups.find(name);
    return it == faceGroups.end() ? nullptr : it->second;
}

std::map<std::string, FaceGroup*>& MeshHandler::getFaceGroups() {
    return faceGroups;
}

size_t MeshHandler::getFaceGroupCount() const {
    return faceGroups.size();
}

void MeshHandler::createVBOs() {
    for (auto& entry : faceGroups)
        entry.second->createVBOs();
}

void MeshHandler::loadObj(std::string fileName) {
    ObjReader reader(*this);
    reader.read(fileName);
}

namespace {

// An image the upload can take as it stands: 8-bit BGR or BGRA rows. Other
// layouts (grey, palette, 16-bit or float channels...) are converted, so
// the upload never reads past the pixels; null when that fails.
FIBITMAP* toUploadable(FIBITMAP* image) {
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
    const unsigned bpp = FreeImage_GetBPP(image);
    if (type == FIT_BITMAP && (bpp == 24 || bpp == 32))
        return image;
    FIBITMAP* standard = image;
    if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16) {
        standard = FreeImage_ConvertToStandardType(image, TRUE);
        if (!standard)
            return nullptr;
    }
    const bool alpha = FreeImage_IsTransparent(standard) ||
                       FreeImage_GetColorType(standard) == FIC_RGBALPHA ||
                       type == FIT_RGBA16 || type == FIT_RGBAF;
    FIBITMAP* converted = alpha ? FreeImage_ConvertTo32Bits(standard)
                                : FreeImage_ConvertTo24Bits(standard);
    if (standard != image)
        FreeImage_Unload(standard);
    return converted;
}

// The texture is drawn untextured (white or its material colour): without
// a line in the log nobody could tell why.
void reportUnreadable(const std::string& fileName) {
    const char* what = fileExists(fileName) ? "cannot be read (" : "not found (";
    ResourceRegistry::reportOnce("MeshHandler: texture image " + std::string(what) + fileName +
                                 ")");
}

// True, with the line, for an image larger than OpenGL takes.
bool tooLarge(unsigned width, unsigned height, const std::string& fileName) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest <= 0 || (width <= unsigned(largest) && height <= unsigned(largest)))
        return false;
    ResourceRegistry::reportOnce("MeshHandler: texture image of " + std::to_string(width) + "x" +
                                 std::to_string(height) + " pixels is larger than OpenGL takes (" +
                                 std::to_string(largest) + "), not loaded (" + fileName + ")");
    return true;
}

// Reads the image, or with FIF_LOAD_NOPIXELS only its header, from the
// bytes that were checked, so that the library never sees another copy.
FIBITMAP* loadImage(FREE_IMAGE_FORMAT format, std::string& data, int flags) {
    FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(data.data()), DWORD(data.size()));
    FIBITMAP* image = memory ? FreeImage_LoadFromMemory(format, memory, flags) : nullptr;
    FreeImage_CloseMemory(memory);
    return image;
}

// Reads only the header where the library can, so that an image larger than
// OpenGL takes is refused before the library allocates its pixels: a header
// may claim gigabytes.
bool headerTooLarge(FREE_IMAGE_FORMAT format, std::string& data, const std::string& fileName) {
    if (!FreeImage_FIFSupportsReading(format) || !FreeImage_FIFSupportsNoPixels(format))
        return false;
    FIBITMAP* header = loadImage(format, data, FIF_LOAD_NOPIXELS);
    if (!header)
        return false;  // the full load fails and says so
    const unsigned width = FreeImage_GetWidth(header), height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return tooLarge(width, height, fileName);
}

} // namespace

bool MeshHandler::loadTexture(std::string fileName, FaceGroup* group) {
    if (!group)
        return false;
    if (verbose) {
        logLine("Loading Texture for Material:");
        logLine(group->name);
        logLine(fileName);
    }
    // Without loaded GL entry points (no window yet) there is nothing to
    // upload to, nor a largest texture size to check against.
    if (!glActiveTexture)
        return false;
    // The file is read once: the checks and the library see the same bytes,
    // and only the readers of the formats read ever see them (see
    // ImageFileCheck).
    std::string bytes;
    const bool readable = fileExists(fileName) && ObjReader::readFile(fileName, bytes);
    FREE_IMAGE_FORMAT format =
        readable ? FREE_IMAGE_FORMAT(ImageFileCheck::contentFormat(bytes)) : FIF_UNKNOWN;
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(fileName.c_str());
    if (format == FIF_UNKNOWN) {
        if (verbose)
            logLine("Unknown File Format");
        reportUnreadable(fileName);
        return false;
    }
    const std::string problem = readable ? ImageFileCheck::problem(format, bytes) : "";
    if (!problem.empty()) {
        if (verbose)
            logLine("Could Not Read Image");
        ResourceRegistry::reportOnce("MeshHandler: texture image " + problem + ", not loaded (" +
                                     fileName + ")");
        return false;
    }
    // A JPEG goes to the library without the metadata segments it would parse.
    if (format == FIF_JPEG) bytes = ImageFileCheck::jpegWithoutMetadata(bytes);
    if (readable && headerTooLarge(format, bytes, fileName))
        return false;
    FIBITMAP* image = nullptr;
    if (readable && FreeImage_FIFSupportsReading(format))
        image = loadImage(format, bytes, 0);
    std::string().swap(bytes);
    if (!image) {
        if (verbose)
            logLine("Could Not Read Image");
        reportUnreadable(fileName);
        return false;
    }
    const FREE_IMAGE_COLOR_TYPE colorType = FreeImage_GetColorType(image);
    const FREE_IMAGE_TYPE imageType = FreeImage_GetImageType(image);
    if (verbose) {
        logLine("Texture Properties:");
        log("Image Format:");
        logLine(int(format));
        log("Image Type:");
        logLine(int(imageType));
        log("Color Type:");
        logLine(int(colorType));
    }

    // Formats whose header the library cannot read alone, and headers that
    // do not tell the size of what follows (an icon's picture), are checked
    // here, before a conversion could make a copy of their size.
    if (tooLarge(FreeImage_GetWidth(image), FreeImage_GetHeight(image), fileName)) {
        FreeImage_Unload(image);
        return false;
    }

    FIBITMAP* pixels = toUploadable(image);
    if (pixels != image && pixels)
        FreeImage_Unload(image);
    else if (!pixels)
        pixels = image;  // conversion failed: the bits check below refuses it
    const bool uploadable = FreeImage_GetImageType(pixels) == FIT_BITMAP &&
                            (FreeImage_GetBPP(pixels) == 24 || FreeImage_GetBPP(pixels) == 32);

    group->imageBits = uploadable ? FreeImage_GetBits(pixels) : nullptr;
    group->imageWidth = FreeImage_GetWidth(pixels);
    group->imageHeight = FreeImage_GetHeight(pixels);
    if (!group->imageBits || group->imageWidth == 0 || group->imageHeight == 0) {
        if (verbose)
            logLine("Could not get image bits/width/height");
        reportUnreadable(fileName);
        FreeImage_Unload(pixels);
        group->imageBits = nullptr;
        return false;
    }

    glGenTextures(1, &group->textureId);
    group->textureUnit = GL_TEXTURE0;
    group->samplerUnit = 0;
    glActiveTexture(group->textureUnit);
    glBindTexture(GL_TEXTURE_2D, group->textureId);
    textureNames.push_back(group->textureId);

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    // The layout decides the format: an opaque 32-bit image reports itself
    // as RGB but still holds four bytes per pixel.
    if (FreeImage_GetBPP(pixels) == 32) {
        group->pixelFormat = GL_BGRA;
        group->internalFormat = FreeImage_GetColorType(pixels) == FIC_RGB ? GL_RGB : GL_RGBA;
    } else {
        group->pixelFormat = GL_BGR;
        group->internalFormat = GL_RGB;
    }

    // Rows are padded to four bytes; someone may have changed the unpack
    // state for a tightly packed upload of their own.
    GLint alignment = 4, rowLength = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, group->mipLevel, group->internalFormat,
                 GLsizei(group->imageWidth), GLsizei(group->imageHeight), group->border,
                 group->pixelFormat, GL_UNSIGNED_BYTE, group->imageBits);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    if (verbose)
        logLine("Texture Loaded!");

    FreeImage_Unload(pixels);
    group->imageBits = nullptr;
    group->hasTexture = true;
    return true;
}
