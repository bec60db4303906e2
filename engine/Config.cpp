#include "engine/Config.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "engine/FileLookup.h"
#include "engine/Log.h"

Config* Config::instance = nullptr;

namespace {

const char* const kBlanks = " \t\f\v\n\r";

struct KeyName {
    const char* name;
    int code;
};

// GLFW 2.7 key codes, the numbering the configuration files were written in.
const KeyName kKeyNames[] = {
    {"key_up", 283},     {"key_down", 284},   {"key_left", 285},
    {"key_right", 286},  {"key_space", 32},   {"key_rshift", 288},
    {"key_lshift", 287}, {"key_rctrl", 290},  {"key_lctrl", 289},
    {"key_w", 87},       {"key_a", 65},       {"key_s", 83},
    {"key_d", 68},
};

// Reads a leading decimal int; false when there is none or it overflows.
bool readInt(const std::string& text, int& out) {
    std::istringstream in(text);
    int v = 0;
    if (!(in >> v)) return false;
    out = v;
    return true;
}

} // namespace

Config::Config() {
    inputDevice.fill(-2);
    // No file found gives an empty path: the stream fails and nothing is read.
    std::ifstream in(findFile("qelm.conf").c_str());
    std::string line;
    while (std::getline(in, line)) readLine(std::move(line));
    log("Configuration file loaded (");
    log(values.size());
    log(" items).\n");
}

Config::~Config() {
    intValues.clear();
    values.clear();
    log("Configuration file unloaded.\n");
}

void Config::readLine(std::string line) {
    const std::size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return;
    const std::string key = trim(line.substr(0, eq));
    const std::string value = trim(line.substr(eq + 1));

    setInputDevice(key, value);
    values[key] = value;

    // Key names and plain numbers: the first line of a key wins.
    const int code = keyCode(value);
    int number = 0;
    if (code != -1) intValues.insert({key, code});
    else if (readInt(value, number)) intValues.insert({key, number});

    // A joystick binding always wins; among those the last line.
    const int joy = joyCode(value);
    if (joy != -1) intValues[key] = joy;
}

void Config::setInputDevice(const std::string& key, const std::string& value) {
    int slot = -1;
    if (key.find("p_1") != std::string::npos) slot = 0;
    else if (key.find("p_2") != std::string::npos) slot = 1;
    else if (key.find("p_3") != std::string::npos) slot = 2;
    else if (key.find("p_4") != std::string::npos) slot = 3;
    else return;

    if (value.find("key") != std::string::npos) {
        inputDevice[slot] = -1;
    } else if (value.find("joy") != std::string::npos) {
        // The joystick digit sits at index 4 ("joy_0", "joy_1_up"); a value
        // too short to have one means the keyboard.
        inputDevice[slot] = value.size() > 4 ? parseInt(value.substr(4, 1)) : -1;
    }
}

Config& Config::get() {
    if (!instance) instance = new Config();
    return *instance;
}

std::string Config::getString(const std::string& key) { return get().values[key]; }

int Config::getInt(const std::string& key) { return get().intValues[key]; }

void Config::setInt(const std::string& key, int value) { get().intValues[key] = value; }

int Config::getInputDevice(int slot) {
    const Config& c = get();
    if (slot < 0 || slot >= SLOT_COUNT) return -2;
    return c.inputDevice[slot];
}

void Config::destroy() {
    delete instance;
    instance = nullptr;
}

std::string Config::trim(const std::string& text) { return trimRight(trimLeft(text)); }

std::string Config::trimLeft(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Config::trimRight(const std::string& text) {
    const std::size_t last = text.find_last_not_of(kBlanks);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

int Config::keyCode(const std::string& value) {
    for (const KeyName& k : kKeyNames)
        if (value == k.name) return k.code;
    return -1;
}

int Config::joyCode(const std::string& value) {
    // Split at '_'; the character right after a separator is never itself a
    // separator, and a trailing '_' adds no empty part.
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '_') {
            if (parts.size() == 3) return -1; // more than three parts
            parts.push_back(value.substr(start, i - start));
            start = i + 1;
            ++i;
        }
    }
    if (start < value.size()) parts.push_back(value.substr(start));
    if (parts.size() != 3 || parts[0] != "joy") return -1;

    const std::string& dir = parts[2];
    if (dir == "up") return 1000;
    if (dir == "left") return 1002;
    if (dir == "right") return 1003;
    if (dir == "down") return 1001;
    // Buttons count from 0: "joy_0_-2" binds nothing.
    const int button = parseInt(dir);
    return button >= 0 ? button : -1;
}

int Config::parseInt(const std::string& text) {
    int v = -1;
    return readInt(text, v) ? v : -1;
}
