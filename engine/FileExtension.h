#pragma once
#include <string>

// The text after the last "." of the name: "" when the "." ends the name,
// the whole name when it holds no ".".
std::string getFileExtension(const std::string& name);
