#include "decorations/Text.h"

#include <utility>

#include "decorations/FontReader.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"

namespace Decorations {

namespace {

const char* const kFontFile = "external/osaka_font.glf";

} // namespace

Text::Text() {
    mesh = new MeshHandler();
    mesh->addFaceGroup("text");
    faceGroup = mesh->getFaceGroup("text");
    faceGroup->hasTexture = true;
    GLuint name = 0;
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLfloat(GL_CLAMP));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLfloat(GL_CLAMP));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(GL_LINEAR));
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(GL_MODULATE));
    // A font that cannot be used leaves the element empty: every byte is
    // then outside its (empty) range and nothing is drawn.
    if (!loadFont()) logLine("Problem loading font file");
    font.tex = name;
    faceGroup->imageWidth = unsigned(font.texWidth);
    faceGroup->imageHeight = unsigned(font.texHeight);
    faceGroup->textureId = name;
    faceGroup->textureUnit = GL_TEXTURE0;
    faceGroup->samplerUnit = 0;
    fading = false;
    fadeElapsed = 0.0f;
    mesh->createVBOs();
}

Text::~Text() {
    faceGroup->reset(); // deletes the group's buffers
    delete mesh;
    mesh = nullptr;
    glDeleteTextures(1, &font.tex);
}

bool Text::loadFont() {
    FontReader reader;
    if (!reader.readFile(kFontFile)) return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (reader.header.texWidth > maxSize || reader.header.texHeight > maxSize) return false;
    font = std::move(reader.header);
    // Rows of 2 x texWidth bytes follow each other without padding: an
    // alignment of 2 always matches them, where the default 4 would read
    // past the texels for an odd width.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    glTexImage2D(GL_TEXTURE_2D, 0, 2, font.texWidth, font.texHeight, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, reader.texels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    return true;
}

void Text::setText(std::string text) {
    faceGroup->reset();
    const float size = scale.x;
    float x = 0.0f;
    const float y = 0.0f;
    for (char byte : text) {
        const int c = static_cast<signed char>(byte);
        if (c < font.startChar || c > font.endChar) continue;
        const Glyph& g = font.chars[std::size_t(c - font.startChar)];
        const float w = float(font.texWidth) * g.dx * size;
        const float h = float(font.texHeight) * g.dy * size;
        // Two counter-clockwise triangles; ty1 is the glyph's top edge.
        const glm::vec4 corners[6] = {{x, y, g.tx1, g.ty2},         {x + w, y, g.tx2, g.ty2},
                                      {x + w, y + h, g.tx2, g.ty1}, {x + w, y + h, g.tx2, g.ty1},
                                      {x, y + h, g.tx1, g.ty1},     {x, y, g.tx1, g.ty2}};
        for (const glm::vec4& corner : corners) {
            faceGroup->addVertex(glm::vec4(corner.x, corner.y, 0.0f, 1.0f));
            faceGroup->addNormal(glm::vec3(0.0f, 0.0f, 1.0f));
            faceGroup->addTexCoord(glm::vec2(corner.z, corner.w));
        }
        x += w;
    }
    mesh->createVBOs();
}

void Text::setColor(glm::vec4 color) {
    colorBias = color;
}

void Text::show() {
    faceGroup->d = 1.0f;
    visible = true;
    fading = false;
    fadeElapsed = 0.0f;
}

void Text::fadeOut(float seconds) {
    fading = true;
    fadeDuration = seconds;
}

void Text::update(float dt) {
    if (!fading) return;
    const float d = 1.0f - fadeElapsed / fadeDuration;
    faceGroup->d = d;
    fadeElapsed += dt;
    // A d that is not a number fails the test and the fade goes on.
    if (d <= 0.0f) {
        visible = false;
        fading = false;
        fadeElapsed = 0.0f;
    }
}

} // namespace Decorations
