#pragma once
#include <string>

// Finds a data file by its relative path in the working directory, then with
// "../" in front, then with "../../" in front. Returns the first path that
// names a readable file (a directory does not count), or "" when none does.
std::string findFile(const std::string& name);

// True when a regular file can be opened for reading at the path.
bool fileExists(const std::string& path);
