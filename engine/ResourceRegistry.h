#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>

class ShaderHandler;
class ShaderProgramHandler;
class MeshHandler;

// The single cache of shaders, meshes and the one shader program. Entries
// are keyed by the path at which the file was found, so two names of one
// file share one entry. Everything loaded stays for the rest of the run.
class ResourceRegistry {
public:
    // The program "simple" (compiled and linked on the first request); null
    // for any other name.
    static ShaderProgramHandler* getProgram(const std::string& name);
    // The shader of the file; null when the file cannot be found.
    static ShaderHandler* getShader(const std::string& fileName);
    // The mesh of the file, loaded once with its buffers; null when the file
    // cannot be found. A file that cannot be found, or that holds no faces,
    // is named in the log once, not on every request.
    static MeshHandler* getMesh(const std::string& fileName);
    // Logs the line (adding its line end) unless it was logged before: one
    // line per unreadable file, however often it is asked for.
    static void reportOnce(const std::string& line);

    // Frees the registry and everything in it, so the next request starts
    // afresh. For tests only: the program never calls it, and every pointer
    // handed out before becomes invalid.
    static void resetForTests();

    ~ResourceRegistry();

    static ResourceRegistry* instance;

    std::unique_ptr<std::map<std::string, ShaderHandler*>> shaders;
    ShaderProgramHandler* simpleProgram;
    std::unique_ptr<std::map<std::string, MeshHandler*>> meshes;
    // Mesh names that could not be found, so they are looked for only once.
    std::unique_ptr<std::set<std::string>> missingMeshes;
    std::unique_ptr<std::set<std::string>> reportedLines;

private:
    ResourceRegistry();
    static ResourceRegistry* get();
};
