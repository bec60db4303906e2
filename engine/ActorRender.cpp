// Drawing of an actor's mesh with the program "simple": the whole interface
// between the program and its shaders is here and in Camera::setUniforms.
#include "engine/Actor.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "engine/Camera.h"
#include "engine/Globals.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ShaderProgramHandler.h"

namespace Engine {

namespace {

// The world transform of a billboard: the transpose of the camera's
// upper-left 3x3 block turns the mesh to face the camera; placement and
// scale come from the actor.
glm::mat4 billboardMatrix(const glm::mat4& cameraTransform, const glm::mat4& model,
                          const glm::vec3& scale) {
    glm::mat4 b(1.0f);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) b[i][j] = cameraTransform[j][i];
    for (int i = 0; i < 3; ++i) b[i][3] = model[i][3];
    b[3] = model[3];
    return glm::scale(b, scale);
}

// One attribute array, from its buffer or from memory; returns its location.
// An array shorter than the draw (a group filled without texture coordinates
// or normals) is left disabled, so the attribute keeps its constant value
// instead of the draw reading past the array's end. A name the program lacks
// gives -1 and is left alone: every call on it would fail.
GLint bindAttribute(GLuint program, const char* name, GLint components, GLuint buffer,
                    const float* data, std::size_t length, std::size_t vertexCount,
                    bool useVBO) {
    const GLint location = glGetAttribLocation(program, name);
    if (location < 0 || length < vertexCount) return location;
    const GLuint index = static_cast<GLuint>(location);
    glEnableVertexAttribArray(index);
    if (useVBO && buffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    } else {
        glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, data);
    }
    return location;
}

void unbindAttribute(GLint location) {
    if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
}

// The bounding sphere grows with the actor's largest scale.
float scaledRadius(float radius, const glm::vec3& scale) {
    return radius * std::max({std::fabs(scale.x), std::fabs(scale.y), std::fabs(scale.z)});
}

} // namespace

void Actor::render(Camera* camera, const glm::vec4& ambientColor, const Light& light,
                   bool useVBO) {
    if (!visible || !mesh) return;
    // Without a camera or a linked program there is nothing to draw with (a
    // failed link was logged when it was built).
    if (!camera || !program || !program->linked) return;
    if (camera->isCulled(position, scaledRadius(mesh->radius, scale)) && frustumCullingOn) {
        // Told once per actor: a line for every camera and frame would grow
        // the log without bound and flush two files each time.
        if (!cullingReported) logLine("Actor not rendered due to Frustum Culling");
        cullingReported = true;
        return;
    }

    // Nothing is cached between draws: every location is looked up by name and
    // every binding made and released around each group.
    for (auto& entry : mesh->getFaceGroups()) {
        FaceGroup* group = entry.second;
        const GLuint p = program->program;
        glUseProgram(p);
        camera->setUniforms(program);

        const glm::mat4 world =
            billboard ? billboardMatrix(camera->transform, modelMatrix, scale) : modelMatrix;
        glUniformMatrix4fv(glGetUniformLocation(p, "worldTransform"), 1, GL_FALSE,
                           glm::value_ptr(world));
        glUniformMatrix4fv(glGetUniformLocation(p, "normalTransform"), 1, GL_FALSE,
                           glm::value_ptr(rotationMatrix));
        glUniform4fv(glGetUniformLocation(p, "ambientLight"), 1, glm::value_ptr(ambientColor));
        glUniform3fv(glGetUniformLocation(p, "mainLightLocation"), 1,
                     glm::value_ptr(light.position));
        glUniform4fv(glGetUniformLocation(p, "mainLightColor"), 1, glm::value_ptr(light.color));

        GLint mode = 0;
        if (group->hasTexture) {
            mode = textureMode3 ? 3 : (textureMode2 ? 2 : 1);
            glBindTexture(GL_TEXTURE_2D, group->textureId);
            glUniform1i(glGetUniformLocation(p, "textureData"), group->samplerUnit);
        }
        glUniform1i(glGetUniformLocation(p, "shaderMode"), mode);

        glUniform4fv(glGetUniformLocation(p, "Ka"), 1, glm::value_ptr(group->Ka));
        glUniform4fv(glGetUniformLocation(p, "Kd"), 1, glm::value_ptr(group->Kd));
        glUniform4fv(glGetUniformLocation(p, "Ke"), 1, glm::value_ptr(group->Ke));
        glUniform4fv(glGetUniformLocation(p, "Ks"), 1, glm::value_ptr(group->Ks));
        glUniform1f(glGetUniformLocation(p, "Ns"), group->Ns);
        glUniform1f(glGetUniformLocation(p, "d"), group->d);
        glUniform4fv(glGetUniformLocation(p, "colorBias"), 1, glm::value_ptr(colorBias));

        const std::size_t n = group->vertexCount;
        const GLint vertexLocation = bindAttribute(p, "vertex", 4, group->vbo[0],
            group->getVertexData(), group->vertices->size(), n, useVBO);
        const GLint texcoordLocation = bindAttribute(p, "texcoord", 2, group->vbo[1],
            group->getTexCoordData(), group->texCoords->size(), n, useVBO);
        const GLint normalLocation = bindAttribute(p, "normal", 3, group->vbo[2],
            group->getNormalData(), group->normals->size(), n, useVBO);

        const bool offscreen = drawOffscreen && renderToOffscreen && offscreenComplete;
        const GLuint target = offscreen ? offscreenFramebuffer : 0;
        GLsizei count = static_cast<GLsizei>(group->vertexCount);
        if (useVBO && group->vbo[3] != 0) {
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, group->vbo[3]);
            glBindFramebuffer(GL_FRAMEBUFFER, target);
            glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        } else {
            // Never read past the index array in memory.
            if (group->indices->size() < group->vertexCount)
                count = static_cast<GLsizei>(group->indices->size());
            glBindFramebuffer(GL_FRAMEBUFFER, target);
            glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, group->getIndexData());
        }

        unbindAttribute(vertexLocation);
        unbindAttribute(texcoordLocation);
        unbindAttribute(normalLocation);
        glUseProgram(0);
    }
}

} // namespace Engine
