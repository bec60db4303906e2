#include "tools/soak/ProcessMemory.h"

#include <malloc.h>

#include <cstdlib>
#include <fstream>
#include <string>

long ProcessMemory::residentKB() { return field("VmRSS:"); }

long ProcessMemory::settledResidentKB() {
    // Free memory the allocator still holds goes back first: otherwise when
    // the last trim happened decides a reading by up to a megabyte or two.
    malloc_trim(0);
    return residentKB();
}

long ProcessMemory::peakResidentKB() { return field("VmHWM:"); }

long ProcessMemory::field(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key(name);
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size());
    return 0;
}
