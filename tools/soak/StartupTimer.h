#pragma once
#include <chrono>
#include <string>
#include <utility>
#include <vector>

// Where start-up's time goes, from the program's start to the end of the
// first arena frame: the steps are marked as they end, and the buffer swaps
// (the loading screen's frames, then the arena's) are noted as they come.
class StartupTimer {
public:
    using Clock = std::chrono::steady_clock;

    // Taken first thing in main: also works out how long the process ran
    // before main (dynamic linking), to the kernel's 10 ms clock ticks.
    StartupTimer();
    void mark(const char* step);
    void swapped();
    // "start-up N ms ...: before main a, <step> b, ..." with the loading
    // screen's frames split out of the step that drew them.
    std::string report(int loadingFrames) const;

private:
    double beforeMainMs;
    Clock::time_point start;
    std::vector<std::pair<std::string, Clock::time_point>> marks;
    std::vector<Clock::time_point> swaps;
};
