#!/usr/bin/env bash
# meshview draws a pack mesh framed inside the picture, a HUD picture over
# the whole window, and refuses missing meshes and bad arguments without
# writing a file. Needs an X display (Xvfb).
# Arguments: source directory, build directory.
set -u
src="$1"
build="$2"
mv="$build/tools/meshview/meshview"
if [ ! -x "$mv" ]; then
    echo "FAIL: meshview not built: $mv"
    exit 1
fi
cd "$src" || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

"$mv" "$work/car.png" meshes/car/car.obj --size 160x120 > "$work/car.log" 2>&1 ||
    { echo "FAIL: car: exit $?"; cat "$work/car.log"; status=1; }
"$mv" "$work/help.png" meshes/helpscreen.obj --hud --unlit --size 160x120 > "$work/help.log" 2>&1 ||
    { echo "FAIL: help screen: exit $?"; cat "$work/help.log"; status=1; }

# Reads the 8-bit RGB PNG that FreeImage writes; prints the share of pixels
# unlike the clear colour, and whether the border is all clear colour.
python3 - "$work/car.png" "$work/help.png" > "$work/stats.txt" <<'PY' || status=1
import struct, sys, zlib
def load(path):
    d = open(path, "rb").read(); pos = 8; idat = b""
    while pos < len(d):
        n, t = struct.unpack(">I4s", d[pos:pos + 8]); body = d[pos + 8:pos + 8 + n]; pos += 12 + n
        if t == b"IHDR": w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
        elif t == b"IDAT": idat += body
    assert depth == 8 and ctype == 2, "not 8-bit RGB"
    raw = zlib.decompress(idat); stride = w * 3; rows = []; prev = bytearray(stride); p = 0
    for _ in range(h):
        f = raw[p]; line = bytearray(raw[p + 1:p + 1 + stride]); p += 1 + stride
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0; b = prev[i]; c = prev[i - 3] if i >= 3 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line); prev = line
    return w, h, rows
clear = (64, 76, 89)
for path in sys.argv[1:]:
    w, h, rows = load(path)
    unlike = lambda x, y: max(abs(rows[y][3 * x + k] - clear[k]) for k in range(3)) > 3
    drawn = sum(unlike(x, y) for y in range(h) for x in range(w)) / float(w * h)
    border = [(x, 0) for x in range(w)] + [(x, h - 1) for x in range(w)] + \
             [(0, y) for y in range(h)] + [(w - 1, y) for y in range(h)]
    print("%dx%d %.3f %d" % (w, h, drawn, sum(unlike(x, y) for x, y in border)))
PY
read -r carSize carDrawn carBorder helpSize helpDrawn helpBorder <<< "$(tr '\n' ' ' < "$work/stats.txt")"
[ "$carSize" = 160x120 ] || { echo "FAIL: car picture size $carSize"; status=1; }
# Framed: a good part of the picture, nothing cut at the edges.
python3 -c "import sys; sys.exit(not 0.08 < $carDrawn < 0.9)" ||
    { echo "FAIL: car covers $carDrawn of the picture"; status=1; }
[ "$carBorder" = 0 ] || { echo "FAIL: car touches the border ($carBorder pixels)"; status=1; }
python3 -c "import sys; sys.exit(not $helpDrawn > 0.99)" ||
    { echo "FAIL: help screen covers only $helpDrawn of the window"; status=1; }

"$mv" "$work/none.png" meshes/no_such_mesh.obj > "$work/none.log" 2>&1
code=$?
[ "$code" = 1 ] || { echo "FAIL: missing mesh gave exit $code"; status=1; }
[ ! -e "$work/none.png" ] || { echo "FAIL: missing mesh wrote a picture"; status=1; }
"$mv" "$work/bad.png" meshes/car/car.obj --scale 0 > /dev/null 2>&1
code=$?
[ "$code" = 2 ] || { echo "FAIL: scale 0 gave exit $code"; status=1; }

[ $status = 0 ] && echo "meshview: car framed ($carDrawn), help screen full ($helpDrawn)"
exit $status
