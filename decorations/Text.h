#pragma once
#include <string>

#include "decorations/Decoration.h"
#include "decorations/FontHeader.h"

class FaceGroup;

namespace Decorations {

// One line of head-up-display text in the bitmap font
// "external/osaka_font.glf" (read from the working directory by every
// element, each with its own texture), with a colour, a size taken from the
// scale when the text is set, and a timed fade-out.
class Text : public Engine::Decoration {
public:
    Text();
    // The mesh, the glyph table and the texture are the element's own.
    ~Text() override;

    // Rebuilds the glyph quads: two triangles per character in the font,
    // sized by scale.x now; other bytes are skipped without advancing.
    void setText(std::string text);
    void setColor(glm::vec4 color);
    // Full opacity, visible, no fade.
    void show();
    // Starts (or re-times) a fade-out; the time already faded stays.
    void fadeOut(float seconds);
    // Runs the fade: opacity 1 - elapsed / duration, hidden at 0.
    void update(float dt) override;

    FontHeader font;                // tex = the element's texture name
    FaceGroup* faceGroup = nullptr; // the group "text" of the element's mesh
    bool fading = false;
    float fadeDuration = 0.0f;
    float fadeElapsed = 0.0f;

private:
    // Reads the font into `font` and uploads its texels to the bound texture;
    // false (font left empty) when the file gives no usable font.
    bool loadFont();
};

} // namespace Decorations
