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

namespace logtext {
// A value's text with the stream's default formatting.
template <typename T>
std::string of(const T& value) {
    std::ostringstream ss;
    ss << value;
    return ss.str();
}
} // namespace logtext

// Writes one value's text unchanged (texts as they are, numbers in decimal).
template <typename T>
void log(T value) {
    Log::write(logtext::of(value));
}

// The same, followed by a line end.
template <typename T>
void logLine(T value) {
    Log::writeLine(logtext::of(value));
}

// Plain overloads for the integer kinds in use: an exact non-template match,
// so that <cmath>'s log() can never be chosen for them or make a call
// ambiguous.
inline void log(int value) { Log::write(logtext::of(value)); }
inline void log(unsigned int value) { Log::write(logtext::of(value)); }
inline void logLine(int value) { Log::writeLine(logtext::of(value)); }
