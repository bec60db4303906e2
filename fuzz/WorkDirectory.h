#pragma once
// A private working directory for a fuzz target, whose code under test reads
// and writes files relative to the working directory ("qelm.conf",
// "qelm.log"). Call it from LLVMFuzzerInitialize.
//
// libFuzzer reads its arguments after LLVMFuzzerInitialize, relative to the
// working directory: the corpus directories and files, and the values of the
// path flags, are made absolute first, and crash artifacts go to the
// directory the fuzzer was started from unless a prefix is given. The
// directory is removed at a normal exit; a crash leaves it, with the files
// of the crashing input.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzzwork {

inline std::string& root() {
    static std::string path;
    return path;
}

inline void removeRoot() {
    std::error_code ec;
    std::filesystem::remove_all(root(), ec);
}

inline std::string absolute(const std::string& path) {
    return std::filesystem::absolute(path).string();
}

// Rewrites argv for the new working directory; the strings live until exit.
inline void absoluteArguments(int* argc, char*** argv) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    const char* const pathFlags[] = {"-artifact_prefix=", "-exact_artifact_path=", "-dict=",
                                     "-merge_control_file=", "-features_dir=",
                                     "-mutation_graph_file=", "-data_flow_trace="};
    bool artifactPrefix = false;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        if (i > 0 && !arg.empty() && arg[0] != '-') {
            arg = absolute(arg);
        } else {
            for (const char* flag : pathFlags) {
                const std::string f = flag;
                if (arg.compare(0, f.size(), f) != 0 || arg.size() == f.size()) continue;
                // A prefix may end in '/' (a directory) or not ("out-"): keep it.
                arg = f + absolute(arg.substr(f.size()));
                artifactPrefix = artifactPrefix || f == "-artifact_prefix=";
            }
        }
        args.push_back(arg);
    }
    if (!artifactPrefix) args.push_back("-artifact_prefix=" + absolute(".") + "/");
    for (std::string& arg : args) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();
}

// Makes vantorra-<name>-XXXXXX/a/b in /dev/shm (or /tmp without it) and works
// there, two levels down so that the "../" look-ups of the code under test
// stay inside it. Every input is written to a file and read back: in memory
// that costs a fraction of a disk's time. Standard output (the log's echo)
// goes to /dev/null; the fuzzer reports on standard error. Returns false,
// leaving the working directory as it is, in a process that only starts
// others (-jobs): they write their logs (fuzz-N.log) where it works, and it
// runs no input.
inline bool enter(const char* name, int* argc, char*** argv) {
    absoluteArguments(argc, argv);
    for (int i = 1; i < *argc; ++i)
        if (std::string((*argv)[i]).compare(0, 6, "-jobs=") == 0) return false;
    std::error_code ec;
    const char* base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
    std::string templ = std::string(base) + "/vantorra-" + name + "-XXXXXX";
    if (!mkdtemp(templ.data())) std::abort();
    root() = templ;
    std::filesystem::create_directories(root() + "/a/b");
    std::filesystem::current_path(root() + "/a/b");
    std::atexit(removeRoot);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, STDOUT_FILENO);
    return true;
}

} // namespace fuzzwork
