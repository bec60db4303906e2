#include "tests/support/TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    previous_ = fs::current_path().string();
    std::string templ = (fs::temp_directory_path() / "vantorra-test-XXXXXX").string();
    if (char* made = mkdtemp(templ.data())) path_ = made;
    fs::current_path(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

void TempDir::write(const std::string& relPath, const std::string& content) const {
    const fs::path p = fs::path(path_) / relPath;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << content;
}

std::string TempDir::read(const std::string& relPath) const {
    std::ifstream in(fs::path(path_) / relPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string sourcePath(const std::string& rel) {
    return std::string(VANTORRA_SOURCE_DIR) + "/" + rel;
}

} // namespace testsupport
