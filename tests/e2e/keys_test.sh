#!/usr/bin/env bash
# With the shipped data every key command, several rounds of the texture
# filter and mipmap commands among them, runs without an OpenGL or sound
# error, and the program ends cleanly.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

start_game
wait_for_frames 1
for key in F1 F2 F3 F3 F4 F5 F5 F5 F4 F5 F4 F6 F6 F7 F8 F8 F9 F9 F10 F1 F2; do
    key_tap "$key"
    sleep 0.15
done
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "program ended during the key commands"
hold_keys_until_exit Escape
check_clean_end "keys"
LOG="$RUN/qelm.log"
grep -q "^Loading... " "$LOG" || fail "no mesh loaded"
grep -q "^GL Error" "$LOG" && fail "OpenGL error: $(grep '^GL Error' "$LOG" | sort | uniq -c)"
grep -q "^ALUT error" "$LOG" && fail "sound error: $(grep '^ALUT error' "$LOG")"
echo "ok"
