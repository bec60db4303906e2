#pragma once
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

// The program's one message channel: every message goes unchanged to
// "qelm.log" in the working directory (flushed at once) and to standard
// output. No levels, prefixes or time stamps.
class Log {
public:
    static void write(const std::string& text);
    static void writeLine(const std::string& text);
    // Closes the log file. Called once at shut-down; the next message would
    // open (and truncate) the file again.
    static void destroy();

    ~Log();

private:
    Log();

    static Log* instance;
    std::unique_ptr<std::ofstream> file;
};

// Writes one value's text unchanged (texts as they are, numbers in decimal).
template <typename T>
void log(T value) {
    std::ostringstream ss;
    ss << value;
    Log::write(ss.str());
}

// The same, followed by a line end.
template <typename T>
void logLine(T value) {
    std::ostringstream ss;
    ss << value;
    Log::writeLine(ss.str());
}
