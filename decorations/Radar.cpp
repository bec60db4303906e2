#include "decorations/Radar.h"

#include "engine/Globals.h"
#include "engine/MeshHandler.h"

namespace Decorations {

Radar::Radar() {
    mesh = new MeshHandler();
    mesh->addFaceGroup("fbo");
    faceGroup = mesh->getFaceGroup("fbo");
    faceGroup->hasTexture = true;
    textureMode3 = true;
    visible = false;
    drawOffscreen = false;
    // The unit square as two counter-clockwise triangles; texture
    // coordinates equal the positions.
    const glm::vec2 corners[] = {{0, 0}, {1, 0}, {1, 1}, {1, 1}, {0, 1}, {0, 0}};
    for (const glm::vec2& c : corners) {
        faceGroup->addVertex(glm::vec4(c.x, c.y, 0.0f, 1.0f));
        faceGroup->addNormal(glm::vec3(0.0f, 0.0f, 1.0f));
        faceGroup->addTexCoord(c);
    }
    // Read now: the off-screen framebuffer must exist before a radar.
    faceGroup->textureId = offscreenColorTexture;
    faceGroup->textureUnit = GL_TEXTURE0;
    faceGroup->samplerUnit = 0;
    mesh->createVBOs();
}

// Nothing else uses the radar's mesh: its buffers (which reset deletes) and
// the mesh itself go with the radar.
Radar::~Radar() {
    faceGroup->reset();
    delete mesh;
    mesh = nullptr;
}

} // namespace Decorations
