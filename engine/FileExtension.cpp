#include "engine/FileExtension.h"

std::string getFileExtension(const std::string& name) {
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos)
        return name;
    return name.substr(dot + 1);
}
