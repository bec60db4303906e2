#!/usr/bin/env bash
# Alt with F4, and closing the window, end the program like Escape. F4 with
# Alt still runs its own command first (the menu sound starts). One short tap
# of Alt with F4, sent between two frames, is enough.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

# The menu sound is a high tone, the good-bye sound a low one that keeps the
# program (and the sound output) alive for half a second; no music.
write_conf "width = 320" "height = 240"
make_sound menu 2 3000
make_sound bye 0.5 300
remove_file sounds/bgm.wav
use_wave_output
start_game
wait_for_frames 1
key_tap "Alt_L F4"
wait_for_exit 10
check_clean_end "Alt+F4"
high=$(out_rms sinc 2000-4000)
low=$(out_rms sinc 200-400)
echo "Alt+F4: high band RMS $high, low band RMS $low"
above "$high" 0.02 || fail "F4 held with Alt did not play the menu sound"
above "$low" 0.02 || fail "no good-bye sound"

# Alt alone, F4 alone: neither ends the program.
new_run
write_conf "width = 320" "height = 240"
start_game
wait_for_frames 1
key_down Alt_L; sleep 1; key_up Alt_L
key_down F4; sleep 1; key_up F4
sleep 0.5
if ! kill -0 "$GAME_PID" 2>/dev/null; then
    wait_for_exit 1
    fail "Alt or F4 alone ended the program (exit code $EXIT_CODE; log ends: $(tail -n 3 "$RUN/qelm.log"))"
fi
# Window closed from outside, as by a window manager.
close_window
wait_for_exit 30
check_clean_end "window close"
echo "ok"
