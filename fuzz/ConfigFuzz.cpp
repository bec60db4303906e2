// Feeds arbitrary bytes to the configuration reader as "qelm.conf" and checks
// what the queries may answer. Runs in a private working directory (see
// WorkDirectory.h); corpus paths may be given relative to where it starts.
#include <cstdint>
#include <fstream>
#include <string>

#include "engine/Config.h"
#include "engine/Log.h"
#include "fuzz/WorkDirectory.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\n' || c == '\r';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzwork::enter("configfuzz", argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out("qelm.conf", std::ios::binary | std::ios::trunc);
        out << text;
    }

    // The reader helpers on the whole input as one value.
    const std::string t = Config::trim(text);
    check(t.empty() || (!isBlank(t.front()) && !isBlank(t.back())));
    check(t.size() <= text.size());
    const int joy = Config::joyCode(text);
    check(joy == -1 || joy >= 0);
    Config::parseInt(text);
    Config::keyCode(text);

    // The file, through every kind of query.
    Config::getInt("width");
    Config::getString("p_1_up");
    Config::getInt("");
    for (int slot = -1; slot <= 8; ++slot) {
        const int device = Config::getInputDevice(slot);
        if (slot < 0 || slot > 7) check(device == -2);
        else if (slot > 3) check(device == -2); // no line names players 5-8
        else check(device >= -2 && device <= 9);
    }
    Config::destroy();
    Log::destroy(); // the next run truncates the log again
    return 0;
}
