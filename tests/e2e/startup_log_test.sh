#!/usr/bin/env bash
# Start-up messages in order, in the log and on standard output alike; the
# program ends on Escape with result 0 after the good-bye sound.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

write_conf "width = 800" "height = 600" "fullscreen = 0"
for s in explode getitem shoot hitloud hitsoft menu win bye bgm; do make_sound "$s" 0.2 440; done
run_until_escape 1
check_clean_end "plain run"
LOG="$RUN/qelm.log"
expect_lines "$LOG" "Configuration file loaded (3 items)." "Starting Game ..." \
    "GLFW window created: Window mode, 800x600)" "OpenGL Version " "BULLET: initialized" \
    "Loading... meshes/cube/acube.obj"
[ "$(head -n 1 "$LOG")" = "Configuration file loaded (3 items)." ] || fail "first line: $(head -n 1 "$LOG")"
[ "$(grep -c '^Loading... meshes/cube/acube.obj$' "$LOG")" = 1 ] || fail "mesh not loaded exactly once"
grep -q "ALUT error" "$LOG" && fail "sound error with every sound present"
grep -q "GL Error" "$LOG" && fail "OpenGL error in a plain run: $(grep -A1 'GL Error' "$LOG" | head -4)"
grep -q "FBO Error" "$RUN/stdout.txt" && fail "off-screen framebuffer incomplete at 800x600"
cmp -s "$LOG" "$RUN/stdout.txt" || fail "standard output differs from the log: $(diff "$LOG" "$RUN/stdout.txt" | head -5)"

# "fullscreen" 1 opens a full-screen window; any other value a window.
for value in 1 2; do
    new_run
    write_conf "width = 640" "height = 480" "fullscreen = $value"
    run_until_escape 1
    check_clean_end "fullscreen = $value"
    want="GLFW window created: Window mode, 640x480)"
    [ "$value" = 1 ] && want="GLFW window created: Fullscreen mode, 640x480)"
    grep -qxF "$want" "$RUN/qelm.log" || fail "fullscreen = $value: $(grep 'GLFW window' "$RUN/qelm.log")"
done

# No window: the message, result -1, and nothing after it (configuration kept).
new_run
write_conf "width = 640" "height = 480"
(cd "$RUN" && DISPLAY=":65531" exec "$BIN" > "$RUN/stdout.txt" 2> "$RUN/stderr.txt")
code=$?
[ "$code" = 255 ] || fail "no display: exit code $code"
[ "$(last_line "$RUN/qelm.log")" = "GLFW: Could not create window" ] ||
    fail "no display: last line $(last_line "$RUN/qelm.log")"
cmp -s "$RUN/qelm.log" "$RUN/stdout.txt" || fail "no display: standard output differs from the log"
echo "ok"
