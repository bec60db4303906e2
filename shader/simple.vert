#version 120
// The one vertex shader of the program "simple". It places each vertex in
// the world and on the screen and hands the fragment shader what lighting
// and texturing need.

// Camera (set by the camera for every draw).
uniform mat4 previousCameraTransform; // last frame's projection * view (kept for effects)
uniform mat4 cameraTransform;         // projection * view
uniform vec3 previousCameraLocation;  // last frame's camera translation
uniform vec3 cameraLocation;          // the view's translation: the eye is at -cameraLocation
                                      // for the chase and HUD cameras (a turning camera's
                                      // highlights are approximate)

// Object (set by the actor for every face group).
uniform mat4 worldTransform;  // model matrix (or the billboard matrix)
uniform mat4 normalTransform; // the actor's rotation alone

attribute vec4 vertex;   // x, y, z, 1
attribute vec2 texcoord;
attribute vec3 normal;

varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec2 uv;

void main() {
    vec4 world = worldTransform * vertex;
    worldPosition = world.xyz;
    // The rotation alone turns normals; scale is left out on purpose so that
    // non-uniform scaling does not bend them.
    worldNormal = (normalTransform * vec4(normal, 0.0)).xyz;
    uv = texcoord;
    gl_Position = cameraTransform * world;
}
