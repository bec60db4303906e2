#include "engine/ResourceRegistry.h"

#include "engine/FileLookup.h"
#include "engine/Log.h"
#include "engine/MeshHandler.h"
#include "engine/ShaderHandler.h"
#include "engine/ShaderProgramHandler.h"

ResourceRegistry* ResourceRegistry::instance = nullptr;

ResourceRegistry::ResourceRegistry()
    : shaders(std::make_unique<std::map<std::string, ShaderHandler*>>()),
      simpleProgram(nullptr),
      meshes(std::make_unique<std::map<std::string, MeshHandler*>>()),
      missingMeshes(std::make_unique<std::set<std::string>>()),
      reportedLines(std::make_unique<std::set<std::string>>()) {}

// Frees the shader map and the program; shaders and meshes stay, as other
// holders may still use them.
ResourceRegistry::~ResourceRegistry() {
    shaders.reset();
    delete simpleProgram;
    simpleProgram = nullptr;
}

ResourceRegistry* ResourceRegistry::get() {
    if (!instance) instance = new ResourceRegistry();
    return instance;
}

ShaderProgramHandler* ResourceRegistry::getProgram(const std::string& name) {
    ResourceRegistry* registry = get();
    if (name != "simple") return nullptr;
    if (!registry->simpleProgram) {
        ShaderHandler* vertex = getShader("shader/simple.vert");
        ShaderHandler* fragment = getShader("shader/simple.frag");
        registry->simpleProgram = new ShaderProgramHandler();
        // A missing file gives no handler: say so and build from what there is.
        if (vertex)
            registry->simpleProgram->addShader(vertex);
        else
            Log::write("ResourceRegistry: shader file not found (shader/simple.vert)\n");
        if (fragment)
            registry->simpleProgram->addShader(fragment);
        else
            Log::write("ResourceRegistry: shader file not found (shader/simple.frag)\n");
        registry->simpleProgram->build();
    }
    return registry->simpleProgram;
}

ShaderHandler* ResourceRegistry::getShader(const std::string& fileName) {
    ResourceRegistry* registry = get();
    const std::string path = findFile(fileName);
    if (path.empty()) return nullptr;
    ShaderHandler*& handler = (*registry->shaders)[path];
    if (!handler) handler = new ShaderHandler(path);
    return handler;
}

namespace {

bool holdsFaces(MeshHandler& mesh) {
    for (auto& entry : mesh.getFaceGroups())
        if (entry.second->vertexCount > 0) return true;
    return false;
}

} // namespace

MeshHandler* ResourceRegistry::getMesh(const std::string& fileName) {
    ResourceRegistry* registry = get();
    if (registry->missingMeshes->count(fileName) != 0) return nullptr;
    const std::string path = findFile(fileName);
    if (path.empty()) {
        // Whoever asked draws nothing: the log is the only place to see why.
        registry->missingMeshes->insert(fileName);
        reportOnce("ResourceRegistry: mesh file not found (" + fileName + ")");
        return nullptr;
    }
    MeshHandler*& mesh = (*registry->meshes)[path];
    if (!mesh) {
        log("Loading... ");
        logLine(path);
        // Stored even when the file gave nothing, so it is not read again.
        mesh = new MeshHandler();
        mesh->loadObj(path);
        mesh->createVBOs();
        if (!holdsFaces(*mesh))
            reportOnce("ResourceRegistry: mesh file holds no faces (" + path + ")");
    }
    return mesh;
}

void ResourceRegistry::reportOnce(const std::string& line) {
    if (get()->reportedLines->insert(line).second) logLine(line);
}

void ResourceRegistry::resetForTests() {
    if (!instance) return;
    for (auto& entry : *instance->meshes) delete entry.second;
    instance->meshes->clear();
    delete instance->simpleProgram;
    instance->simpleProgram = nullptr;
    for (auto& entry : *instance->shaders) delete entry.second;
    instance->shaders->clear();
    delete instance;
    instance = nullptr;
}
