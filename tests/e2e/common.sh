# Shared helpers of the end-to-end tests: each test runs the real program in
# a directory of its own, on an X server of its own (Xvfb), and drives it
# with key events sent to its window.
#
# Usage: source common.sh "$SRC" "$BUILD"

SRC=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
BIN="$BUILD/vantorra"
E2E="$SRC/tests/e2e"

fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$BIN" ] || fail "no program at $BIN"
command -v Xvfb >/dev/null || fail "Xvfb is not installed"

# Each run directory sits three levels down in a fresh temp tree, so the
# file look-up (which also tries ../ and ../../) can only find what the test
# put there. new_run makes the next one (RUN) and forgets the last run's
# sound settings.
TOP=$(mktemp -d "${TMPDIR:-/tmp}/vantorra-e2e.XXXXXX")
RUNS=0
GAME_PID=""
new_run() {
    RUNS=$((RUNS + 1))
    RUN_TOP="$TOP/run$RUNS"
    RUN="$RUN_TOP/a/b/run"
    mkdir -p "$RUN"
    unset ALSOFT_CONF
    export ALSOFT_DRIVERS=null
}
new_run
XVFB_PID=""
HOLDER_PID=""
cleanup() {
    if [ -n "$HOLDER_PID" ]; then
        kill "$HOLDER_PID" 2>/dev/null
        wait "$HOLDER_PID" 2>/dev/null
    fi
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill "$GAME_PID" 2>/dev/null
        wait "$GAME_PID" 2>/dev/null
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    if [ -n "${KEEP_E2E_DIR:-}" ]; then echo "kept $TOP"; else rm -rf "$TOP"; fi
}
trap cleanup EXIT

# The X server of the test command resets whenever its last client leaves,
# and a program connecting during the reset fails to open its display. The
# programs of these tests used to be such clients; while the test runs, one
# idle connection keeps the shared server from resetting under the other
# tests.
hold_shared_display() {
    [ -n "${DISPLAY:-}" ] || return 0
    # Ends by itself when the test's shell is gone, however it ended.
    python3 -c '
import ctypes, ctypes.util, os, time
x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
parent = os.getppid()
if x11.XOpenDisplay(None):
    while os.getppid() == parent:
        time.sleep(0.5)
' &
    HOLDER_PID=$!
}
hold_shared_display

# Each test has an X server of its own: windows of tests running at the same
# time would otherwise cover each other's pictures, take each other's focus
# (a window forgets held keys when it loses the focus), and a full-screen
# window could change the screen's mode for all. The display number is drawn
# at random from a wide range: a server that is just shutting down removes
# its socket file, and would take a new server's socket of the same number
# with it (Xvfb -displayfd reuses the lowest free number at once). -noreset:
# an X server resets when its last client leaves, and a client connecting
# meanwhile fails (here: the start-up probe leaving just as the game comes).
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
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    fail "no X server could be started: $(cat "$TOP/xvfb.log")"
}
start_private_x

# Shaders from the source tree.
link_shaders() { ln -s "$SRC/shader" "$RUN/shader"; }

write_conf() { printf '%s\n' "$@" > "$RUN/qelm.conf"; }

# A light grey cube under the name the plain level shows, so that the picture
# does not depend on generated assets.
write_cube_mesh() {
    mkdir -p "$RUN/meshes/cube"
    cat > "$RUN/meshes/cube/acube.mtl" <<'MTL'
newmtl grey
Ka 0.9 0.9 0.9
Kd 0.8 0.8 0.8
Ks 0.0 0.0 0.0
Ns 10
d 1.0
MTL
    cat > "$RUN/meshes/cube/acube.obj" <<'OBJ'
mtllib acube.mtl
v -1 -1 -1
v 1 -1 -1
v 1 1 -1
v -1 1 -1
v -1 -1 1
v 1 -1 1
v 1 1 1
v -1 1 1
vt 0 0
vn 0 0 -1
vn 0 0 1
vn -1 0 0
vn 1 0 0
vn 0 -1 0
vn 0 1 0
usemtl grey
f 1/1/1 4/1/1 3/1/1
f 1/1/1 3/1/1 2/1/1
f 5/1/2 6/1/2 7/1/2
f 5/1/2 7/1/2 8/1/2
f 1/1/3 5/1/3 8/1/3
f 1/1/3 8/1/3 4/1/3
f 2/1/4 3/1/4 7/1/4
f 2/1/4 7/1/4 6/1/4
f 1/1/5 2/1/5 6/1/5
f 1/1/5 6/1/5 5/1/5
f 4/1/6 8/1/6 7/1/6
f 4/1/6 7/1/6 3/1/6
OBJ
}

# make_sound NAME SECONDS FREQUENCY: a 16-bit mono WAV under sounds/.
make_sound() {
    mkdir -p "$RUN/sounds"
    sox -n -r 22050 -b 16 -c 1 "$RUN/sounds/$1.wav" synth "$2" sine "$3" vol 0.5
}

# Points OpenAL of this run at the wave-file backend writing $RUN_TOP/out.wav
# (finished when the program exits the sound library).
use_wave_output() {
    cat > "$RUN_TOP/alsoft.conf" <<CONF
[general]
drivers = wave
sample-type = int16
frequency = 22050
channels = mono
[wave]
file = $RUN_TOP/out.wav
CONF
    export ALSOFT_CONF="$RUN_TOP/alsoft.conf"
    unset ALSOFT_DRIVERS
}

# RMS amplitude of the run's sound output, optionally through a sox effect
# (e.g. "sinc 2000-4000" for one band).
out_rms() {
    [ -s "$RUN_TOP/out.wav" ] || fail "no sound output written"
    sox "$RUN_TOP/out.wav" -n $* stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'
}

# above A B: true when the number A is greater than B.
above() { python3 -c "import sys; sys.exit(0 if float('$1') > float('$2') else 1)"; }

# Starts the program in $RUN and waits for its window (WID).
start_game() {
    (cd "$RUN" && exec "$BIN" > "$RUN/stdout.txt" 2> "$RUN/stderr.txt") &
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

# Waits until the program has shown frames for a while: the level is built
# once "BULLET: initialized" is logged; a couple of seconds later the frame
# loop is surely running.
wait_for_frames() {
    for _ in $(seq 1 300); do
        grep -q "BULLET: initialized" "$RUN/qelm.log" 2>/dev/null && break
        sleep 0.1
    done
    sleep "${1:-2}"
    kill -0 "$GAME_PID" 2>/dev/null || fail "program ended early (stdout: $(cat "$RUN/stdout.txt"))"
}

# Key events for the game's window only (X key names, e.g. Escape, F3,
# "Alt_L F4"). xdotool is not used for keys: it types through the real
# keyboard whenever the target window has the focus, and a window that
# another test opens meanwhile would get the keys.
key_down() { python3 "$E2E/send_keys.py" "$WID" down $1; }
key_up() { python3 "$E2E/send_keys.py" "$WID" up $1 >/dev/null 2>&1 || true; }
key_tap() { python3 "$E2E/send_keys.py" "$WID" tap $1; }

# Holds the keys down until the program ends (at most 30 s), then lets go.
# A quick tap could come and go between two frames' polls; a held key is
# seen by the frame's stop test. The press is repeated now and then, since
# the window forgets held keys when another window takes the focus.
hold_keys_until_exit() {
    EXIT_CODE=""
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

# Asks the window to close as a window manager's close button does
# (WM_DELETE_WINDOW).
close_window() { python3 "$E2E/close_window.py" "$WID"; }

# Window picture: share of lit pixels.
lit_share() {
    xwd -silent -id "$WID" > "$TOP/shot.xwd" || fail "xwd failed"
    python3 "$E2E/xwd_stats.py" "$TOP/shot.xwd"
}

# expect_lines FILE LINE...: the lines appear in FILE in this order (each a
# fixed-text prefix match of a whole line, other lines may come between).
expect_lines() {
    local file=$1
    shift
    python3 - "$file" "$@" <<'PY' || fail "lines missing or out of order in $file"
import sys
lines = open(sys.argv[1], errors="replace").read().split("\n")
at = 0
for want in sys.argv[2:]:
    while at < len(lines) and not lines[at].startswith(want):
        at += 1
    if at == len(lines):
        print("not found (in order): %r" % want, file=sys.stderr)
        sys.exit(1)
    at += 1
PY
}

last_line() { tail -n 1 "$1"; }
