// meshview: looks at one mesh through the program's own drawing.
//
//   meshview OUT.png MESH.obj [--scale s] [--yaw deg] [--pitch deg]
//            [--hud [--at x,y,z]] [--inside [--at x,y,z]] [--unlit]
//            [--billboard] [--size WxH]
//
// Default: the mesh at the origin, seen from a camera on a sphere around it
// (yaw about +y from the +z side, pitch above the horizon) far enough back
// that the whole bounding sphere fits. --hud draws it with the head-up
// display camera at --at (default 0,0,0), the way the levels place their
// pictures. --inside puts the mesh at --at (default 0,-100,0, as the arena
// places its sky dome) and the eye at the origin, looking along yaw/pitch.
// --unlit clears the actor's second texture mode (textures drawn as they are
// in the image, as the levels do for the table and the screens). The light
// --billboard turns the mesh to the camera as particles are drawn. The light
// and ambient colour are the level's defaults.
#include <GL/glew.h>

#include <FreeImage.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <algorithm>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "engine/Actor.h"
#include "engine/Camera.h"
#include "engine/Degrees.h"
#include "engine/HUDCamera.h"
#include "engine/Light.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ResourceRegistry.h"
#include "platform/Glfw2.h"

namespace {

// A perspective camera that looks from `eye` at `target` with y up. The
// shaders take the eye as minus the camera's position.
class LookAtCamera : public Engine::Camera {
public:
    LookAtCamera(int w, int h, glm::vec3 eye, glm::vec3 target, float zNearIn, float zFarIn)
        : Camera(0, 0, w, h), eye_(eye), target_(target) {
        zNear = zNearIn;
        zFar = zFarIn;
        projection = deg::perspective(fov, aspect, zNear, zFar);
        position = -eye;
        updateTransform();
        previousTransform = transform;
    }
    void update(float) override {}
    void updateTransform() override {
        previousTransform = transform;
        glm::vec3 up(0.0f, 1.0f, 0.0f);
        // Looking straight up or down: any horizontal up will do.
        if (std::fabs(glm::normalize(target_ - eye_).y) > 0.999f) up = glm::vec3(0, 0, -1);
        transform = projection * glm::lookAt(eye_, target_, up);
    }

private:
    glm::vec3 eye_, target_;
};

struct Options {
    std::string out, mesh;
    float scale = 1.0f, yaw = 30.0f, pitch = 20.0f;
    bool hud = false, inside = false, unlit = false, billboard = false, atGiven = false;
    glm::vec3 at{0.0f};
    int width = 512, height = 512;
};

bool parse(int argc, char** argv, Options& o) {
    if (argc < 3) return false;
    o.out = argv[1];
    o.mesh = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--hud") o.hud = true;
        else if (a == "--inside") o.inside = true;
        else if (a == "--unlit") o.unlit = true;
        else if (a == "--billboard") o.billboard = true;
        else if (a == "--scale" && hasValue) o.scale = std::strtof(argv[++i], nullptr);
        else if (a == "--yaw" && hasValue) o.yaw = std::strtof(argv[++i], nullptr);
        else if (a == "--pitch" && hasValue) o.pitch = std::strtof(argv[++i], nullptr);
        else if (a == "--at" && hasValue) {
            o.atGiven = std::sscanf(argv[++i], "%f,%f,%f", &o.at.x, &o.at.y, &o.at.z) == 3;
            if (!o.atGiven) return false;
        } else if (a == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2) return false;
            if (o.width < 16 || o.height < 16 || o.width > 4096 || o.height > 4096) return false;
        } else {
            return false;
        }
    }
    if (o.hud && !o.atGiven) o.at = glm::vec3(0.0f);
    if (o.inside && !o.atGiven) o.at = glm::vec3(0.0f, -100.0f, 0.0f);
    return o.scale > 0.0f && std::isfinite(o.scale);
}

// The back buffer as a 24-bit PNG. GL and FreeImage both keep the bottom
// row first.
bool writePng(const std::string& path, int w, int h) {
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    FIBITMAP* image = FreeImage_Allocate(w, h, 24);
    if (!image) return false;
    for (int y = 0; y < h; ++y) {
        BYTE* row = FreeImage_GetScanLine(image, y);
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            row[x * 3 + FI_RGBA_RED] = p[0];
            row[x * 3 + FI_RGBA_GREEN] = p[1];
            row[x * 3 + FI_RGBA_BLUE] = p[2];
        }
    }
    const bool ok = FreeImage_Save(FIF_PNG, image, path.c_str(), 0) != 0;
    FreeImage_Unload(image);
    return ok;
}

// Loads the mesh, draws it once with the program's actor drawing and saves
// the back buffer before the swap. Returns the exit status.
int drawAndSave(const Options& o) {
    MeshHandler* mesh = ResourceRegistry::getMesh(o.mesh);
    Engine::Actor actor; // loads the program "simple" from shader/
    if (!mesh || !actor.program) {
        std::fprintf(stderr, "meshview: cannot load %s (or shader/)\n", o.mesh.c_str());
        return 1;
    }
    actor.mesh = mesh;
    actor.textureMode2 = !o.unlit;
    actor.billboard = o.billboard;
    actor.setScale(o.scale);
    actor.setPosition(o.at);

    const glm::vec3 lo(mesh->minX, mesh->minY, mesh->minZ);
    const glm::vec3 hi(mesh->maxX, mesh->maxY, mesh->maxZ);
    const glm::vec3 centre = o.at + (lo + hi) * 0.5f * o.scale;
    const float radius = std::max(glm::length(hi - lo) * 0.5f * o.scale, 1e-3f);
    const float yaw = glm::radians(o.yaw), pitch = glm::radians(o.pitch);
    const glm::vec3 dir(std::sin(yaw) * std::cos(pitch), std::sin(pitch),
                        std::cos(yaw) * std::cos(pitch));

    std::unique_ptr<Engine::Camera> camera;
    if (o.hud) {
        camera = std::make_unique<Engine::HUDCamera>(0, 0, o.width, o.height);
    } else if (o.inside) {
        camera = std::make_unique<LookAtCamera>(o.width, o.height, glm::vec3(0.0f), dir, 0.1f,
                                                glm::length(centre) + radius * 2.0f + 10.0f);
    } else {
        // Far enough back that the bounding sphere fits the narrower field.
        const float halfV = glm::radians(45.0f * 0.5f);
        const float aspect = float(o.width) / float(o.height);
        const float half = std::min(halfV, std::atan(std::tan(halfV) * aspect));
        const float distance = radius / std::sin(half) * 1.05f;
        camera = std::make_unique<LookAtCamera>(o.width, o.height, centre + dir * distance,
                                                centre, distance * 0.01f,
                                                distance + radius * 2.0f);
    }
    std::printf("%s: bounds (%.3f %.3f %.3f)..(%.3f %.3f %.3f) radius %.3f groups %zu\n",
                o.mesh.c_str(), lo.x, lo.y, lo.z, hi.x, hi.y, hi.z, mesh->radius,
                mesh->getFaceGroupCount());

    const Light light; // the level's default light
    const glm::vec4 ambient(0.7f, 0.7f, 0.7f, 1.0f);
    glViewport(0, 0, o.width, o.height);
    glClearColor(0.25f, 0.3f, 0.35f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera->applyViewport();
    actor.render(camera.get(), ambient, light, true);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) std::fprintf(stderr, "meshview: GL error 0x%x\n", error);
    int status = 0;
    if (!writePng(o.out, o.width, o.height)) {
        std::fprintf(stderr, "meshview: cannot write %s\n", o.out.c_str());
        status = 1;
    }
    glfw2::swapBuffers();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: meshview OUT.png MESH.obj [--scale s] [--yaw deg] [--pitch deg]\n"
                     "       [--hud] [--inside] [--at x,y,z] [--unlit] [--billboard] [--size WxH]\n");
        return 2;
    }
    glfw2::seam::setHiddenWindows(true);
    if (!glfw2::init() ||
        !glfw2::openWindow(o.width, o.height, 0, 0, 0, 0, 24, 8, glfw2::WINDOW)) {
        std::fprintf(stderr, "meshview: no window (is there an X display?)\n");
        return 1;
    }
    glewExperimental = GL_TRUE;
    glewInit();
    // The program's own drawing state.
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const int status = drawAndSave(o);
    Log::destroy();
    glfw2::terminate();
    return status;
}
