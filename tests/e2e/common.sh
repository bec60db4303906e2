# Shared helpers of the end-to-end tests: the real program runs in a fresh
# directory holding a copy of the shipped data, on an X server of its own,
# driven by key events sent to its window. Usage: source common.sh SRC BUILD
SRC=$(cd "$1" && pwd)
BIN="$(cd "$2" && pwd)/vantorra"
XTOOL="python3 $SRC/tests/e2e/xtool.py"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$BIN" ] || fail "no program at $BIN"
TOP=$(mktemp -d "${TMPDIR:-/tmp}/vantorra-e2e.XXXXXX")
RUNS=0 GAME_PID="" XVFB_PID=""
stop() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; }
trap 'stop "$GAME_PID"; stop "$XVFB_PID"; rm -rf "$TOP"' EXIT

# Each run sits three levels down in a tree of its own: the file look-up (which
# also tries ../ and ../../) finds only its copy of the data.
new_run() {
    RUNS=$((RUNS + 1))
    RUN_TOP="$TOP/run$RUNS"
    RUN="$RUN_TOP/a/b/run"
    mkdir -p "$RUN" && cp -R "$SRC"/{shader,meshes,sounds,external,qelm.conf} "$RUN/" || fail "shipped data missing"
    unset ALSOFT_CONF
    export ALSOFT_DRIVERS=null
}
new_run

# A private X server: windows of parallel tests would cover each other. Random
# display numbers, since a server shutting down removes its number's socket.
for _ in $(seq 1 20); do
    number=$((1000 + RANDOM % 30000))
    [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset > "$TOP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 1 100); do
        xdotool getdisplaygeometry > /dev/null 2>&1 && break 2
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    stop "$XVFB_PID"
    XVFB_PID=""
done
[ -n "$XVFB_PID" ] || fail "no X server could be started: $(cat "$TOP/xvfb.log")"

put_file() { mkdir -p "$(dirname "$RUN/$1")" && cat > "$RUN/$1"; }
write_conf() { printf '%s\n' "$@" | put_file qelm.conf; }
# make_sound NAME SECONDS FREQUENCY: a 16-bit mono tone as sounds/NAME.wav.
make_sound() { sox -n -r 22050 -b 16 -c 1 "$RUN/sounds/$1.wav" synth "$2" sine "$3" vol 0.5; }
# OpenAL of this run writes $RUN_TOP/out.wav (finished when the program exits).
use_wave_output() {
    printf '%s\n' "[general]" "drivers = wave" "sample-type = int16" "frequency = 22050" \
        "channels = mono" "[wave]" "file = $RUN_TOP/out.wav" > "$RUN_TOP/alsoft.conf"
    export ALSOFT_CONF="$RUN_TOP/alsoft.conf"
    unset ALSOFT_DRIVERS
}
# out_rms [SOX EFFECTS...]: RMS amplitude of the run's sound output (e.g. "sinc 2000-4000").
out_rms() { sox "$RUN_TOP/out.wav" -n "$@" stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'; }
# above A B: true when the number A is greater than B.
above() { python3 -c "import sys; sys.exit(not float('$1') > float('$2'))"; }

# Starts the program in $RUN (env(1) arguments in GAME_ENV) and waits for its window, WID.
start_game() {
    (cd "$RUN" && exec env ${GAME_ENV:-} "$BIN" > "$RUN/stdout.txt" 2> "$RUN/stderr.txt") &
    GAME_PID=$!
    for _ in $(seq 1 300); do
        WID=$(xdotool search --pid "$GAME_PID" 2>/dev/null | head -1)
        [ -n "$WID" ] && return
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    fail "no window appeared (stdout: $(cat "$RUN/stdout.txt"); stderr: $(cat "$RUN/stderr.txt"))"
}
# Waits for the arena (the second "BULLET: initialized"), then $1 seconds more.
wait_for_frames() {
    for _ in $(seq 1 300); do
        [ "$(grep -c "BULLET: initialized" "$RUN/qelm.log" 2>/dev/null)" -ge 2 ] && break
        sleep 0.1
    done
    sleep "$1"
    kill -0 "$GAME_PID" 2>/dev/null || fail "program ended early (stdout: $(cat "$RUN/stdout.txt"))"
}
# Key events sent to the game's window only (X key names: Escape, F3, "Alt_L F4").
key_down() { $XTOOL keys "$WID" down $1; }
key_up() { $XTOOL keys "$WID" up $1 > /dev/null 2>&1 || true; }
key_tap() { $XTOOL keys "$WID" tap $1; }
# Waits up to $1 seconds for the program to end; sets EXIT_CODE.
wait_for_exit() {
    for _ in $(seq 1 $(($1 * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "program still running after $1 s"
    wait "$GAME_PID"
    EXIT_CODE=$?
    GAME_PID=""
}
# Exit code 0 and "Configuration file unloaded." as the log's last line.
check_clean_end() {
    [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE"
    [ "$(tail -n 1 "$RUN/qelm.log")" = "Configuration file unloaded." ] || fail "$1: last log line: $(tail -n 1 "$RUN/qelm.log")"
}
# shot FILE: the window's picture; share FILE X Y W H COLOUR: see xtool.py.
shot() { xwd -silent -id "$WID" > "$1" || fail "xwd failed"; }
share() { $XTOOL share "$@"; }
# expect_lines FILE PREFIX...: lines starting so appear in FILE in this order.
expect_lines() {
    local file=$1
    shift
    printf '%s\n' "$@" | awk 'NR == FNR { want[++n] = $0; next }
        i < n && index($0, want[i + 1]) == 1 { i++ } END { exit i < n }' - "$file" || fail "lines missing or out of order in $file"
}
