// qelm.conf: the shipped settings. Player 1 drives with the arrow keys and
// fires with right Ctrl, player 2 with W/A/S/D and the space bar; the
// comments show how to hand a player to a joystick instead.
#include <fstream>

#include "tools/assetgen/Generators.h"

namespace assetgen {
namespace {

const char* const CONFIG_TEXT =
    "# Vantorra settings. One entry per line: key = value; '#' starts a comment.\n"
    "\n"
    "# Window size in pixels; fullscreen = 1 opens a full-screen window.\n"
    "width = 1024\n"
    "height = 768\n"
    "fullscreen = 0\n"
    "\n"
    "# Player bindings. Key names: key_up, key_down, key_left, key_right,\n"
    "# key_space, key_lshift, key_rshift, key_lctrl, key_rctrl, key_w, key_a,\n"
    "# key_s, key_d.\n"
    "\n"
    "# Player 1 (upper half of the screen, red car).\n"
    "p_1_up = key_up\n"
    "p_1_down = key_down\n"
    "p_1_left = key_left\n"
    "p_1_right = key_right\n"
    "p_1_fire = key_rctrl\n"
    "\n"
    "# Player 2 (lower half of the screen, green car).\n"
    "p_2_up = key_w\n"
    "p_2_down = key_s\n"
    "p_2_left = key_a\n"
    "p_2_right = key_d\n"
    "p_2_fire = key_space\n"
    "\n"
    "# Joysticks: give the player a device line naming the joystick (joy_0 is\n"
    "# the first, up to joy_9), then bind each control to a stick direction\n"
    "# (joy_N_up, joy_N_down, joy_N_left, joy_N_right) or a button number\n"
    "# (joy_N_3 is button 3). Replace the player's five key lines, for example\n"
    "# player 1 on the first joystick:\n"
    "#\n"
    "# p_1 = joy_0\n"
    "# p_1_up = joy_0_up\n"
    "# p_1_down = joy_0_down\n"
    "# p_1_left = joy_0_left\n"
    "# p_1_right = joy_0_right\n"
    "# p_1_fire = joy_0_3\n"
    "#\n"
    "# and player 2 on the second joystick, firing with button 0:\n"
    "#\n"
    "# p_2 = joy_1\n"
    "# p_2_up = joy_1_up\n"
    "# p_2_down = joy_1_down\n"
    "# p_2_left = joy_1_left\n"
    "# p_2_right = joy_1_right\n"
    "# p_2_fire = joy_1_0\n";

} // namespace

bool generateConfig(const std::string& root) {
    std::ofstream out(root + "/qelm.conf", std::ios::binary);
    out << CONFIG_TEXT;
    return static_cast<bool>(out);
}

} // namespace assetgen
