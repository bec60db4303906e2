#pragma once
#include <filesystem>
#include <string>

namespace testsupport {

// Makes a directory (created if needed) the working directory for the
// object's lifetime. Inside a TempDir, a working directory a few levels down
// keeps the "../" file look-ups from reaching files outside it.
class ScopedWorkDir {
public:
    explicit ScopedWorkDir(const std::string& dir) : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }
    ~ScopedWorkDir() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

private:
    std::filesystem::path previous_;
};

} // namespace testsupport
