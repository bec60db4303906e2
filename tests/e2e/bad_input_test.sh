#!/usr/bin/env bash
# A wrong configuration or a damaged data file, one run each, started as a
# player would: the program opens a window of a size it can use, writes one
# clear line naming the fault, draws a picture where the input leaves one to
# draw, writes nothing to its log once it runs but the chase cameras' culling
# lines (one the first time each actor is culled), and ends with 0 on a
# single short Escape tap (sent between two frames).
set -uo pipefail
source "$(dirname "$0")/common.sh" "$1" "$2"

# Inputs. Each changes the run's copy of the shipped data.
garbage_conf() { write_conf "width = wide" "height = tall" "fullscreen = maybe" "= =" "just words"; }
binary_conf() { python3 -c "import random, sys; random.seed(14); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(4096)))" | put_file qelm.conf; }
empty_shader() { : | put_file shader/simple.frag; }
# Compiles, but calls a function nobody defines: only the link fails.
unlinkable_shader() { printf '%s\n' "#version 120" "vec4 paint();" "void main() { gl_FragColor = paint(); }" | put_file shader/simple.frag; }
# A PNG header that claims 100000x100000 pixels.
huge_image() {
    python3 - <<'PY' | put_file meshes/cube/acube.png
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
header = struct.pack(">IIBBBBB", 100000, 100000, 8, 2, 0, 0, 0)
sys.stdout.buffer.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                        chunk(b"IDAT", zlib.compress(bytes(64))) + chunk(b"IEND", b""))
PY
}

# name | change | the one line (its start) | window size | picture (1: not black)
MISSING='missing or not a positive number in the configuration, using'
ROWS=(
    "shipped data|:||1024x768|1"
    "no configuration|remove_file qelm.conf|Window size: \"width\" and \"height\" are $MISSING 640x480|640x480|1"
    "garbage configuration|garbage_conf|Window size: \"width\" and \"height\" are $MISSING 640x480|640x480|1"
    "binary configuration|binary_conf|Window size: \"width\" and \"height\" are $MISSING 640x480|640x480|1"
    "negative width|write_conf 'width = -5' 'height = 768'|Window size: \"width\" is $MISSING 1024x768|1024x768|1"
    "huge size|write_conf 'width = 32767' 'height = 100000'|Window size: 32767x100000 is more than the screen or OpenGL allows, using 1024x768|1024x768|1"
    "missing shader|remove_file shader/simple.vert|ResourceRegistry: shader file not found (shader/simple.vert)|1024x768|0"
    "empty shader|empty_shader|ShaderHandler: compile error (shader/simple.frag):|1024x768|0"
    "unlinkable shader|unlinkable_shader|ShaderProgramHandler: build error:|1024x768|0"
    "broken image|truncate_file meshes/cube/acube.png 100|MeshHandler: texture image cannot be read (meshes/cube/acube.png)|1024x768|1"
    "huge image header|huge_image|MeshHandler: texture image of 100000x100000 pixels is larger than OpenGL takes (|1024x768|1"
    "truncated mesh|truncate_file meshes/cube/acube.obj 300|ResourceRegistry: mesh file holds no faces (meshes/cube/acube.obj)|1024x768|0"
)
# Pieces of every line above: a good run writes none of them.
NOTES=(-e "Window size: " -e "not found (" -e "compile error" -e "build error" -e "texture image"
       -e "holds no faces" -e "ALUT error")

log_size() { grep -vx "Actor not rendered due to Frustum Culling" "$RUN/qelm.log" | wc -c; }

for row in "${ROWS[@]}"; do
    IFS='|' read -r name change line size picture <<< "$row"
    new_run
    eval "$change"
    # The shipped-data run goes without the test harness's sanitizer
    # settings, as a player would start a sanitizer build.
    GAME_ENV=""
    [ "$name" = "shipped data" ] && GAME_ENV="-u LD_PRELOAD -u ASAN_OPTIONS -u LSAN_OPTIONS -u UBSAN_OPTIONS"
    start_game
    wait_for_frames 1
    geometry=$(xdotool getwindowgeometry "$WID" | awk '/Geometry/ {print $2}')
    lit=$(lit_share)
    before=$(log_size)
    sleep 2
    after=$(log_size)
    key_tap Escape
    wait_for_exit 20
    check_clean_end "$name"

    LOG="$RUN/qelm.log"
    echo "$name: window $geometry, lit $lit, log $before -> $after bytes"
    [ "$geometry" = "$size" ] || fail "$name: window $geometry, expected $size"
    [ "$before" = "$after" ] || fail "$name: the log grew while running: $(tail -n 4 "$LOG")"
    [ "$after" -lt 4096 ] || fail "$name: log of $after bytes"
    grep -q "FBO Error" "$RUN/stdout.txt" && fail "$name: off-screen framebuffer incomplete"
    grep -q "GL Error" "$LOG" && fail "$name: $(grep -c 'GL Error' "$LOG") OpenGL errors"
    if [ -n "$line" ]; then
        [ "$(grep -cF -- "$line" "$LOG")" = 1 ] || fail "$name: not one line \"$line\" in: $(cat "$LOG")"
    else
        grep -F "${NOTES[@]}" "$LOG" && fail "$name: a note about a good input"
    fi
    [ "$picture" = 1 ] && { above "$lit" 0.05 || fail "$name: black picture ($lit lit)"; }
done
echo "ok"
