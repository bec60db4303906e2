#include "engine/FileLookup.h"

#include <sys/stat.h>

#include <fstream>

bool fileExists(const std::string& path) {
    // An ifstream opens a directory on Linux, so check the kind first.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream in(path.c_str());
    return in.is_open();
}

std::string findFile(const std::string& name) {
    std::string candidate = name;
    for (int i = 0; i < 3; ++i) {
        if (fileExists(candidate)) return candidate;
        candidate = "../" + candidate;
    }
    return "";
}
