#pragma once

// This process's memory as the kernel counts it (/proc/self/status), in kB:
// the resident set now and its peak. 0 when it cannot be read.
class ProcessMemory {
public:
    static long residentKB();
    // The resident set once the allocator has returned what it holds free,
    // for readings that are compared with each other.
    static long settledResidentKB();
    static long peakResidentKB();

private:
    static long field(const char* name);
};
