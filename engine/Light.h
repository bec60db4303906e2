#pragma once
#include <glm/glm.hpp>

// One point light. The level makes one with the defaults and hands it to
// every draw call, which sends its position and colour to the shader.
struct Light {
    glm::vec3 position;
    glm::vec4 color;
    float range; // kept for completeness; nothing reads it

    Light() : position(0.0f, 100.0f, 0.0f), color(0.8f, 0.8f, 0.8f, 1.0f), range(200.0f) {}
    Light(const glm::vec3& position, const glm::vec4& color, float range)
        : position(position), color(color), range(range) {}
};
