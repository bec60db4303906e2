#pragma once
#include <string>

namespace testsupport {

// A fresh temporary directory that becomes the working directory for the
// object's lifetime; the previous working directory is restored and the
// directory removed afterwards. For tests that write "qelm.log" or read
// "qelm.conf".
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes a file (relative to the temp dir); creates parent directories.
    void write(const std::string& relPath, const std::string& content) const;
    std::string read(const std::string& relPath) const;

private:
    std::string path_;
    std::string previous_;
};

// Absolute path of a file in the source tree (data files: meshes, shaders...).
std::string sourcePath(const std::string& rel);

} // namespace testsupport
