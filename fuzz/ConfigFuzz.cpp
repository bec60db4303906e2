// Feeds arbitrary bytes to the configuration reader as "qelm.conf" and checks
// what the queries may answer. Runs in a private temp dir two levels deep, so
// the reader's "../" look-ups stay inside it.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/Config.h"
#include "engine/Log.h"

namespace {

std::string gRoot;

void removeRoot() {
    std::error_code ec;
    std::filesystem::remove_all(gRoot, ec);
}

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\n' || c == '\r';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char templ[] = "/tmp/vantorra-configfuzz-XXXXXX";
    if (!mkdtemp(templ)) std::abort();
    gRoot = templ;
    std::filesystem::create_directories(gRoot + "/a/b");
    std::filesystem::current_path(gRoot + "/a/b");
    std::atexit(removeRoot);
    // The log echoes every message to standard output; keep the fuzzer's
    // report (on standard error) readable.
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, STDOUT_FILENO);
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
