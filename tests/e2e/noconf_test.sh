#!/usr/bin/env bash
# Without any "qelm.conf": 0 items, an empty size in the window line, the
# window library's default window, an off-screen framebuffer without size
# reported on standard output only, and a normal run and end.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

link_shaders
write_cube_mesh
start_game
wait_for_frames 2
geometry=$(xdotool getwindowgeometry "$WID" | awk '/Geometry/ {print $2}')
hold_keys_until_exit Escape
check_clean_end "no configuration"

LOG="$RUN/qelm.log"
OUT="$RUN/stdout.txt"
expect_lines "$LOG" "Configuration file loaded (0 items)." "Starting Game ..." \
    "GLFW window created: Window mode, x)" "OpenGL Version " "BULLET: initialized"
grep -qx "GLFW window created: Window mode, x)" "$LOG" || fail "size line: $(grep 'GLFW window' "$LOG")"
grep -Eqx "FBO Error: [0-9]+" "$OUT" || fail "no FBO Error line on standard output"
grep -q "FBO Error" "$LOG" && fail "FBO Error reached the log"
grep -v "^FBO Error: " "$OUT" | cmp -s - "$LOG" || fail "standard output differs from the log"
# The incomplete framebuffer is not cleared every frame: no error flood.
[ "$(grep -c '^GL Error' "$LOG")" -le 1 ] || fail "repeated OpenGL errors: $(grep -c '^GL Error' "$LOG")"
[ "$geometry" = "640x480" ] || fail "window is $geometry, expected the default 640x480"
echo "ok ($(grep 'FBO Error' "$OUT"))"
