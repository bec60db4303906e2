#pragma once
#include <array>
#include <map>
#include <string>

// The settings of "qelm.conf": window size, full-screen flag, each player's
// input device and key or joystick bindings. Read once, on the first query.
//
// Line format: key = value, "#" starts a comment, blanks around key and
// value are ignored. The integer of a key is a key name's key code (GLFW 2.7
// numbering), a plain decimal number, or a joystick code (1000 up, 1001 down,
// 1002 left, 1003 right, else a button number); a joystick code wins over the
// other two whatever the order of the lines.
class Config {
public:
    // The key's text; a missing key is added with the empty text.
    static std::string getString(const std::string& key);
    // The key's integer; a missing key is added with 0.
    static int getInt(const std::string& key);
    // Replaces the key's integer; its text stays as the file gave it.
    // Start-up puts the size the window really has under "width" and
    // "height", so that everything reading them draws at that size.
    static void setInt(const std::string& key, int value);
    // Device of player slot 0..7: -2 not configured, -1 keyboard, 0 or more a
    // joystick number. A slot outside 0..7 is never configured (-2).
    static int getInputDevice(int slot);
    // Unloads the configuration; the next query reads the file again.
    static void destroy();

    // Reader helpers, pure functions of their text.
    static std::string trim(const std::string& text);
    static std::string trimLeft(const std::string& text);
    static std::string trimRight(const std::string& text);
    // Code of a key name such as "key_up", or -1.
    static int keyCode(const std::string& value);
    // Code of a joystick binding such as "joy_0_up" or "joy_1_3", or -1.
    static int joyCode(const std::string& value);
    // Leading decimal integer of the text ("12ab" gives 12), or -1 when none
    // can be read or it does not fit an int.
    static int parseInt(const std::string& text);

    static constexpr int SLOT_COUNT = 8;

    ~Config();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

private:
    Config();
    static Config& get();
    void readLine(std::string line);
    void setInputDevice(const std::string& key, const std::string& value);

    static Config* instance;
    std::map<std::string, std::string> values;
    std::map<std::string, int> intValues;
    std::array<int, SLOT_COUNT> inputDevice;
};
