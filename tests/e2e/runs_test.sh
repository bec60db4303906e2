#!/usr/bin/env bash
# Runs of the real program, one a row (a configuration, a damaged data file,
# sounds of its own): a usable window, each expected line logged once and no
# other note, a picture where there is one to draw, a quiet log while running,
# the log on standard output too, and a clean end. Then: no display at all.
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

garbage_conf() { write_conf "width = wide" "height = tall" "fullscreen = maybe" "= =" "just words"; }
binary_conf() { python3 -c "import random, sys; random.seed(14); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(4096)))" | put_file qelm.conf; }
# Compiles, but calls a function nobody defines: only the link fails.
unlinkable_shader() { printf '%s\n' "#version 120" "vec4 paint();" "void main() { gl_FragColor = paint(); }" | put_file shader/simple.frag; }
huge_image() { # a PNG header that claims 100000x100000 pixels
    python3 - <<'PY' | put_file meshes/cube/acube.png
import struct, sys, zlib
def chunk(kind, data): return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
sys.stdout.buffer.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 100000, 100000, 8, 2, 0, 0, 0)) +
                        chunk(b"IDAT", zlib.compress(bytes(64))) + chunk(b"IEND", b""))
PY
}
# A small window, short high tones, no music and no good-bye sound but those given (NAME SECONDS HZ...).
tones() {
    write_conf "width = 320" "height = 240"
    for s in explode getitem shoot hitloud hitsoft menu win; do make_sound "$s" 0.2 3000; done
    rm -f "$RUN/sounds/bgm.wav" "$RUN/sounds/bye.wav"
    while [ $# -ge 3 ]; do make_sound "$1" "$2" "$3"; shift 3; done
    use_wave_output
}
same_output() { cmp -s "$RUN/qelm.log" "$RUN/stdout.txt" || fail "standard output differs from the log"; }
startup_lines() {
    expect_lines "$RUN/qelm.log" "Configuration file loaded (3 items)." "Starting Game ..." "GLFW window created: Window mode, 800x600)" \
        "OpenGL Version " "BULLET: initialized" "Loading... meshes/cube/acube.obj" "Configuration file unloaded."
    [ "$(head -n 1 "$RUN/qelm.log")" = "Configuration file loaded (3 items)." ] && [ "$(grep -c "^Loading... meshes/cube/acube.obj$" "$RUN/qelm.log")" = 1 ]
}
alone() { # neither Alt nor F4 alone ends the program; then the window closed as by a window manager
    key_down Alt_L; sleep 1; key_up Alt_L; key_down F4; sleep 1; key_up F4; sleep 0.5
    kill -0 "$GAME_PID" 2>/dev/null || fail "Alt or F4 alone ended the program"
    $XTOOL close "$WID"
}
late_music() { sox "$RUN_TOP/out.wav" -p trim 1.2 | sox -p -n sinc 300-600 stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'; }

# name | change | lines logged once (;) | window | picture | ending | check
M='missing or not a positive number in the configuration, using'
ROWS=(
    "shipped data|:|GLFW window created: Window mode, 1024x768)|1024x768|1||"
    "plain run|write_conf 'width = 800' 'height = 600' 'fullscreen = 0'||800x600|1||startup_lines"
    "fullscreen 1|write_conf 'width = 640' 'height = 480' 'fullscreen = 1'|GLFW window created: Fullscreen mode, 640x480);Window size: the window opened larger than 640x480, using 1024x768|1024x768|1||"
    "fullscreen 2|write_conf 'width = 640' 'height = 480' 'fullscreen = 2'|GLFW window created: Window mode, 640x480)|640x480|1||"
    "no configuration|rm \$RUN/qelm.conf|Window size: \"width\" and \"height\" are $M 640x480|640x480|1||"
    "garbage configuration|garbage_conf|Window size: \"width\" and \"height\" are $M 640x480|640x480|1||"
    "binary configuration|binary_conf|Window size: \"width\" and \"height\" are $M 640x480|640x480|1||"
    "negative width|write_conf 'width = -5' 'height = 768'|Window size: \"width\" is $M 1024x768|1024x768|1||"
    "huge size|write_conf 'width = 32767' 'height = 100000'|Window size: 32767x100000 is more than the screen or OpenGL allows, using 1024x768|1024x768|1||"
    "missing shader|rm \$RUN/shader/simple.vert|ResourceRegistry: shader file not found (shader/simple.vert)|1024x768|0||"
    "empty shader|: > \$RUN/shader/simple.frag|ShaderHandler: compile error (shader/simple.frag):|1024x768|0||"
    "unlinkable shader|unlinkable_shader|ShaderProgramHandler: build error:|1024x768|0||"
    "broken image|truncate -s 100 \$RUN/meshes/cube/acube.png|MeshHandler: texture image cannot be read (meshes/cube/acube.png)|1024x768|1||"
    "huge image header|huge_image|MeshHandler: texture image of 100000x100000 pixels is larger than OpenGL takes (|1024x768|1||"
    "truncated mesh|truncate -s 300 \$RUN/meshes/cube/acube.obj|ResourceRegistry: mesh file holds no faces (meshes/cube/acube.obj)|1024x768|0||"
    # The music loops (shorter than the run); the first frame names each missing sound file.
    "music|tones bgm 0.5 440|ALUT error: I/O error (sounds/bye.wav)|320x240|1||above \$(out_rms sinc 300-600) 0.02 && above \$(late_music) 0.02 && expect_lines \$RUN/qelm.log 'BULLET: initialized' 'ALUT error: '"
    "good-bye|tones bye 1 300|ALUT error: I/O error (sounds/bgm.wav)|320x240|1||above \$(out_rms sinc 200-400) 0.02 && above 0.005 \$(out_rms sinc 2000-4000) && above \$TOOK 0.9"
    "silence|tones|ALUT error: I/O error (sounds/bgm.wav);ALUT error: I/O error (sounds/bye.wav)|320x240|1||above 0.001 \$(out_rms)"
    "no sound device|tones bgm 0.5 440 bye 0.5 300; unset ALSOFT_CONF; export ALSOFT_DRIVERS=no-such-driver|ALUT error: |320x240|1||"
    # Alt with F4 runs F4's own command (the high menu tone) first, then the low good-bye.
    "Alt+F4|tones menu 2 3000 bye 0.5 300|ALUT error: I/O error (sounds/bgm.wav)|320x240|1|key_tap 'Alt_L F4'|above \$(out_rms sinc 2000-4000) 0.02 && above \$(out_rms sinc 200-400) 0.02"
    "window closed|write_conf 'width = 320' 'height = 240'||320x240|1|alone|"
)
NOTES=(-e "Window size: " -e "not found (" -e "compile error" -e "build error" -e "texture image" -e "holds no faces" -e "ALUT error")
log_size() { grep -vx "Actor not rendered due to Frustum Culling" "$RUN/qelm.log" | wc -c; }

for row in "${ROWS[@]}"; do
    IFS='|' read -r name change lines size picture ending check <<< "$row"
    new_run
    eval "$change"
    # The shipped data runs without the harness's sanitizer settings, as a player starts a sanitizer build.
    GAME_ENV=""
    [ "$name" = "shipped data" ] && GAME_ENV="-u LD_PRELOAD -u ASAN_OPTIONS -u LSAN_OPTIONS -u UBSAN_OPTIONS"
    start_game
    wait_for_frames 1
    geometry=$(xdotool getwindowgeometry "$WID" | awk '/Geometry/ {print $2}')
    shot "$TOP/shot.xwd"
    lit=$(share "$TOP/shot.xwd" 0 0 1 1 lit)
    before=$(log_size)
    sleep 2
    after=$(log_size)
    pressed=$(date +%s.%N)
    eval "${ending:-key_tap Escape}"
    wait_for_exit 20
    TOOK=$(python3 -c "import time; print(time.time() - $pressed)")
    check_clean_end "$name"
    LOG="$RUN/qelm.log"
    echo "$name: window $geometry, lit $lit, log $before -> $after bytes, ended in ${TOOK:0:4} s"
    [ "$geometry" = "$size" ] || fail "$name: window $geometry, expected $size"
    [ "$before" = "$after" ] || fail "$name: the log grew while running: $(tail -n 4 "$LOG")"
    [ "$after" -lt 4096 ] || fail "$name: log of $after bytes"
    grep -q "FBO Error" "$RUN/stdout.txt" && fail "$name: off-screen framebuffer incomplete"
    grep -q "GL Error" "$LOG" && fail "$name: $(grep -c 'GL Error' "$LOG") OpenGL errors"
    IFS=';' read -ra wanted <<< "$lines"
    for line in "${wanted[@]}"; do
        [ "$(grep -cF -- "$line" "$LOG")" = 1 ] || fail "$name: not one line \"$line\" in: $(cat "$LOG")"
    done
    grep -vF -e $'\a' "${wanted[@]/#/-e}" "$LOG" | grep -F "${NOTES[@]}" && fail "$name: a note nobody asked for"
    [ "$picture" = 1 ] && { above "$lit" 0.05 || fail "$name: black picture ($lit lit)"; }
    same_output
    [ -z "$check" ] || eval "$check" || fail "$name: $check"
done

# No window: the message, result -1, and nothing after it (configuration kept).
new_run
(cd "$RUN" && DISPLAY=":65531" exec "$BIN" > "$RUN/stdout.txt" 2> "$RUN/stderr.txt")
code=$?
[ "$code" = 255 ] && [ "$(tail -n 1 "$RUN/qelm.log")" = "GLFW: Could not create window" ] ||
    fail "no display: exit code $code, last line $(tail -n 1 "$RUN/qelm.log")"
same_output
echo "ok"
