#pragma once
#include <string>

// The driver's compile or link log of a shader or program object, as text:
// the terminating zero the driver writes is not part of it (it would
// otherwise end up in the log file).
std::string shaderInfoLog(unsigned int shader);
std::string programInfoLog(unsigned int program);
