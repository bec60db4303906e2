#include "tools/soak/StartupTimer.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

namespace {

double ms(StartupTimer::Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The process's age now, from its start time in /proc (clock ticks since
// boot) against the boot clock; 0 when it cannot be read.
double processAgeMs() {
    std::ifstream in("/proc/self/stat");
    std::string stat;
    std::getline(in, stat);
    const size_t end = stat.rfind(')'); // the command name may hold spaces
    if (end == std::string::npos) return 0.0;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    // Fields 3 to 21 come before the start time (field 22).
    for (int i = 3; i <= 21 && fields >> field;) ++i;
    unsigned long long ticks = 0;
    if (!(fields >> ticks)) return 0.0;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double startedMs = 1000.0 * double(ticks) / double(sysconf(_SC_CLK_TCK));
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6 - startedMs;
}

} // namespace

StartupTimer::StartupTimer() : beforeMainMs(processAgeMs()), start(Clock::now()) {}

void StartupTimer::mark(const char* step) { marks.emplace_back(step, Clock::now()); }

void StartupTimer::swapped() { swaps.push_back(Clock::now()); }

std::string StartupTimer::report(int loadingFrames) const {
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(0);
    const Clock::time_point end = marks.empty() ? start : marks.back().second;
    text << "start-up " << beforeMainMs + ms(end - start)
         << " ms to the end of the first arena frame: before main " << beforeMainMs;
    Clock::time_point from = start;
    for (const auto& [step, at] : marks) {
        // The step that drew the loading screen: its frames end at the last
        // loading frame's swap.
        if (swaps.size() >= size_t(loadingFrames) && loadingFrames > 0 &&
            swaps[loadingFrames - 1] > from && swaps[loadingFrames - 1] < at) {
            text << ", loading screen (" << loadingFrames << " frames) "
                 << ms(swaps[loadingFrames - 1] - from);
            from = swaps[loadingFrames - 1];
        }
        text << ", " << step << " " << ms(at - from);
        from = at;
    }
    return text.str();
}
