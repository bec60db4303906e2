#include "engine/Log.h"

#include <iostream>

Log* Log::instance = nullptr;

Log::Log() : file(std::make_unique<std::ofstream>("qelm.log", std::ios::out | std::ios::trunc)) {}

Log::~Log() {
    if (file) file->close();
}

void Log::write(const std::string& text) {
    if (!instance) instance = new Log();
    // A log file that could not be opened stays failed: the text is lost
    // there but still reaches standard output.
    *instance->file << text;
    instance->file->flush();
    std::cout << text;
}

void Log::writeLine(const std::string& text) {
    if (!instance) instance = new Log();
    *instance->file << text << "\n";
    instance->file->flush();
    std::cout << text << std::endl;
}

void Log::destroy() {
    delete instance;
    instance = nullptr;
}
