#version 120
// The one fragment shader of the program "simple".
//
// shaderMode says how a face group looks:
//   0  no texture: the material colours lit by the ambient colour and the
//      point light: Ke + Ka*ambient + Kd*light*diffuse + Ks*light*specular
//      (Blinn-Phong with exponent Ns); opacity d.
//   1  the texture unlit, as it is in the image (table, help and win
//      screens); opacity = texture alpha * d.
//   2  the texture lit like mode 0, the texture standing in for Ka and Kd
//      (the default for textured groups); opacity = texture alpha * d.
//   3  the off-screen picture shown flat over the window (power-up view):
//      the picture unlit, turned to a green night-vision tint by its
//      brightness, with every second screen row darkened to 70% like the
//      scan lines of an old monitor; opaque (opacity d).
// Every mode is finally multiplied by colorBias (the particles fade its
// alpha).

uniform vec3 cameraLocation;

uniform vec4 ambientLight;
uniform vec3 mainLightLocation;
uniform vec4 mainLightColor;

uniform sampler2D textureData;
uniform int shaderMode;

uniform vec4 Ka;
uniform vec4 Kd;
uniform vec4 Ke;
uniform vec4 Ks;
uniform float Ns;
uniform float d;

uniform vec4 colorBias;

varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec2 uv;

// Diffuse (x) and specular (y) factors of the point light.
vec2 lightFactors() {
    vec3 n = normalize(worldNormal);
    vec3 toLight = normalize(mainLightLocation - worldPosition);
    vec3 toEye = normalize(-cameraLocation - worldPosition);
    float diffuse = max(dot(n, toLight), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0) {
        vec3 halfway = normalize(toLight + toEye);
        specular = pow(max(dot(n, halfway), 0.0), max(Ns, 1.0));
    }
    return vec2(diffuse, specular);
}

void main() {
    vec4 color;
    if (shaderMode == 0) {
        vec2 f = lightFactors();
        vec3 rgb = Ke.rgb + Ka.rgb * ambientLight.rgb
                 + Kd.rgb * mainLightColor.rgb * f.x
                 + Ks.rgb * mainLightColor.rgb * f.y;
        color = vec4(rgb, d);
    } else if (shaderMode == 1) {
        vec4 texel = texture2D(textureData, uv);
        color = vec4(texel.rgb, texel.a * d);
    } else if (shaderMode == 3) {
        vec4 texel = texture2D(textureData, uv);
        float brightness = dot(texel.rgb, vec3(0.299, 0.587, 0.114));
        float scanLine = mod(floor(gl_FragCoord.y), 2.0) < 0.5 ? 1.0 : 0.7;
        // Opaque: the picture's alpha only records how it was blended.
        color = vec4(vec3(0.25, 1.0, 0.35) * brightness * scanLine, d);
    } else {
        vec4 texel = texture2D(textureData, uv);
        vec2 f = lightFactors();
        vec3 rgb = Ke.rgb + texel.rgb * ambientLight.rgb
                 + texel.rgb * mainLightColor.rgb * f.x
                 + Ks.rgb * mainLightColor.rgb * f.y;
        color = vec4(rgb, texel.a * d);
    }
    color = clamp(color, 0.0, 1.0) * colorBias;
    // Fully clear texels (the corners of particle quads, the clear parts of
    // the win screens) must not write depth and hide what is drawn later.
    if (color.a < 0.004) discard;
    gl_FragColor = color;
}
