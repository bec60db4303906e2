# Shared helpers of the end-to-end tests: the real program runs in a directory
# of its own, on an X server of its own, driven by key events to its window.
# Usage: source common.sh "$SRC" "$BUILD"
SRC=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
BIN="$BUILD/vantorra"
XTOOL="python3 $SRC/tests/e2e/xtool.py"

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$BIN" ] || fail "no program at $BIN"
command -v Xvfb >/dev/null || fail "Xvfb is not installed"

# Each run directory sits three levels down in a fresh temp tree, so the file
# look-up (which also tries ../ and ../../) only finds what the test put there.
# It starts with a copy of the shipped data: the program's shaders, meshes,
# sounds, font and configuration. Tests change single files of the copy
# (write_conf, put_file, truncate_file, remove_file, make_sound); the source
# tree is never touched.
SHIPPED="shader meshes sounds external qelm.conf"
for item in $SHIPPED; do [ -e "$SRC/$item" ] || fail "shipped $item missing"; done
TOP=$(mktemp -d "${TMPDIR:-/tmp}/vantorra-e2e.XXXXXX")
RUNS=0
GAME_PID="" XVFB_PID="" HOLDER_PID=""
new_run() {
    RUNS=$((RUNS + 1))
    RUN_TOP="$TOP/run$RUNS"
    RUN="$RUN_TOP/a/b/run"
    mkdir -p "$RUN"
    for item in $SHIPPED; do cp -R "$SRC/$item" "$RUN/"; done
    unset ALSOFT_CONF
    export ALSOFT_DRIVERS=null
}
new_run
stop() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; }
cleanup() {
    stop "$HOLDER_PID"; stop "$GAME_PID"; stop "$XVFB_PID"
    if [ -n "${KEEP_E2E_DIR:-}" ]; then echo "kept $TOP"; else rm -rf "$TOP"; fi
}
trap cleanup EXIT

# The test command's shared X server resets when its last client leaves, and
# a program connecting meanwhile fails: hold one idle connection to it.
if [ -n "${DISPLAY:-}" ]; then $XTOOL hold 2>/dev/null & HOLDER_PID=$!; fi

# A private X server: windows of parallel tests would cover each other and
# steal focus (a window forgets held keys when it loses it). Random display
# numbers, since a server shutting down removes the socket file of its number.
start_private_x() {
    for _ in $(seq 1 20); do
        local number=$((1000 + RANDOM % 30000))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset > "$TOP/xvfb.log" 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$number"
        for _ in $(seq 1 100); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            xdotool getdisplaygeometry >/dev/null 2>&1 && return
            sleep 0.1
        done
        stop "$XVFB_PID"
        XVFB_PID=""
    done
    fail "no X server could be started: $(cat "$TOP/xvfb.log")"
}
start_private_x

# put_file PATH: the file of the run (relative to its directory) gets what
# comes on standard input.
put_file() { mkdir -p "$(dirname "$RUN/$1")" && cat > "$RUN/$1"; }
# truncate_file PATH BYTES: keeps only the first BYTES bytes.
truncate_file() { truncate -s "$2" "$RUN/$1"; }
remove_file() { for f in "$@"; do rm -f "$RUN/$f"; done; }
# write_conf LINE...: "qelm.conf" made of these lines.
write_conf() { printf '%s\n' "$@" | put_file qelm.conf; }

# make_sound NAME SECONDS FREQUENCY: a 16-bit mono WAV under sounds/.
make_sound() {
    mkdir -p "$RUN/sounds"
    sox -n -r 22050 -b 16 -c 1 "$RUN/sounds/$1.wav" synth "$2" sine "$3" vol 0.5
}

# OpenAL of this run writes $RUN_TOP/out.wav (finished when the program exits).
use_wave_output() {
    printf '%s\n' "[general]" "drivers = wave" "sample-type = int16" "frequency = 22050" \
        "channels = mono" "[wave]" "file = $RUN_TOP/out.wav" > "$RUN_TOP/alsoft.conf"
    export ALSOFT_CONF="$RUN_TOP/alsoft.conf"
    unset ALSOFT_DRIVERS
}

# RMS amplitude of the run's sound output after sox effects (e.g. "sinc 2000-4000").
out_rms() {
    [ -s "$RUN_TOP/out.wav" ] || fail "no sound output written"
    sox "$RUN_TOP/out.wav" -n $* stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'
}

# above A B: true when the number A is greater than B.
above() { python3 -c "import sys; sys.exit(0 if float('$1') > float('$2') else 1)"; }

# Starts the program in $RUN and waits for its window (WID). GAME_ENV holds
# arguments of env(1) for the program (e.g. "-u LD_PRELOAD").
start_game() {
    (cd "$RUN" && exec env ${GAME_ENV:-} "$BIN" > "$RUN/stdout.txt" 2> "$RUN/stderr.txt") &
    GAME_PID=$!
    WID=""
    for _ in $(seq 1 300); do
        WID=$(xdotool search --pid "$GAME_PID" 2>/dev/null | head -1)
        [ -n "$WID" ] && break
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$WID" ] || fail "no window appeared (stdout: $(cat "$RUN/stdout.txt"); stderr: $(cat "$RUN/stderr.txt"))"
}

# Waits until the arena's level starts (the second "BULLET: initialized",
# after the loading screen's), then $1 s more.
wait_for_frames() {
    for _ in $(seq 1 300); do
        [ "$(grep -c "BULLET: initialized" "$RUN/qelm.log" 2>/dev/null)" -ge 2 ] && break
        sleep 0.1
    done
    sleep "${1:-2}"
    kill -0 "$GAME_PID" 2>/dev/null || fail "program ended early (stdout: $(cat "$RUN/stdout.txt"))"
}

# Key events for the game's window only (X key names: Escape, F3, "Alt_L F4").
key_down() { $XTOOL keys "$WID" down $1; }
key_up() { $XTOOL keys "$WID" up $1 >/dev/null 2>&1 || true; }
key_tap() { $XTOOL keys "$WID" tap $1; }
close_window() { $XTOOL close "$WID"; }

# Holds the keys until the program ends (at most 30 s): a tap could fall
# between two frames' polls. Pressed again now and then, in case the window
# lost the focus and forgot them.
hold_keys_until_exit() {
    for i in $(seq 1 300); do
        [ $((i % 5)) = 1 ] && key_down "$1" 2>/dev/null
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    key_up "$1"
    wait_for_exit 1
}

# Waits up to $1 seconds for the program to end; sets EXIT_CODE.
wait_for_exit() {
    EXIT_CODE=""
    for _ in $(seq 1 $(($1 * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "program still running after $1 s"
    wait "$GAME_PID"
    EXIT_CODE=$?
    GAME_PID=""
}

# run_until_escape SECONDS: starts the program, lets it run, ends it with Escape.
run_until_escape() { start_game; wait_for_frames "$1"; hold_keys_until_exit Escape; }

last_line() { tail -n 1 "$1"; }

# Exit code 0 and "Configuration file unloaded." as the log's last line.
check_clean_end() {
    [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE"
    [ "$(last_line "$RUN/qelm.log")" = "Configuration file unloaded." ] ||
        fail "$1: last log line: $(last_line "$RUN/qelm.log")"
}

# Window picture: share of lit pixels.
lit_share() {
    shot "$TOP/shot.xwd"
    $XTOOL lit "$TOP/shot.xwd"
}
# shot FILE: the window's picture now.
shot() { xwd -silent -id "$WID" > "$1" || fail "xwd failed"; }
# share FILE X Y W H COLOUR: share of the region's pixels of that colour class.
share() { $XTOOL share "$@"; }

# expect_lines FILE PREFIX...: lines starting so appear in FILE in this order.
expect_lines() { $XTOOL lines "$@" || fail "lines missing or out of order in $1"; }
