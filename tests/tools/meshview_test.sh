#!/usr/bin/env bash
# meshview frames a mesh inside the picture, draws a HUD picture over all of it,
# refuses a missing mesh (exit 1) and bad arguments (exit 2). Needs Xvfb.
set -u
mv="$2/tools/meshview/meshview"
[ -x "$mv" ] || { echo "FAIL: meshview not built: $mv"; exit 1; }
cd "$1" || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$mv" "$work/car.png" meshes/car/car.obj --size 160x120 > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
"$mv" "$work/help.png" meshes/helpscreen.obj --hud --unlit --size 160x120 > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
"$mv" "$work/none.png" meshes/no_such_mesh.obj > /dev/null 2>&1
[ $? = 1 ] && [ ! -e "$work/none.png" ] || { echo "FAIL: a missing mesh gave no exit 1 or wrote a file"; exit 1; }
"$mv" "$work/bad.png" meshes/car/car.obj --scale 0 > /dev/null 2>&1
[ $? = 2 ] || { echo "FAIL: scale 0 gave no exit 2"; exit 1; }
# The 8-bit RGB PNGs: share of pixels unlike the clear colour, inside and on the border.
python3 - "$work/car.png" "$work/help.png" <<'PY'
import struct, sys, zlib
def load(path):
    d, pos, idat = open(path, "rb").read(), 8, b""
    while pos < len(d):
        n, t = struct.unpack(">I4s", d[pos:pos + 8]); body = d[pos + 8:pos + 8 + n]; pos += 12 + n
        if t == b"IHDR": w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
        if t == b"IDAT": idat += body
    assert depth == 8 and ctype == 2, "not 8-bit RGB"
    raw, stride, rows, prev = zlib.decompress(idat), w * 3, [], bytearray(w * 3)
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a, b, c = line[i - 3] if i >= 3 else 0, prev[i], prev[i - 3] if i >= 3 else 0
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            line[i] = (line[i] + [0, a, b, (a + b) // 2, a if pa <= pb and pa <= pc else b if pb <= pc else c][f]) & 255
        rows.append(line); prev = line
    unlike = lambda x, y: max(abs(rows[y][3 * x + k] - (64, 76, 89)[k]) for k in range(3)) > 3
    edge = [(x, 0) for x in range(w)] + [(x, h - 1) for x in range(w)] + [(0, y) for y in range(h)] + [(w - 1, y) for y in range(h)]
    return w, h, sum(unlike(x, y) for y in range(h) for x in range(w)) / float(w * h), sum(unlike(x, y) for x, y in edge)
car, help = load(sys.argv[1]), load(sys.argv[2])
print("car %dx%d covers %.3f, %d border pixels; help screen covers %.3f" % (car + help[2:3]))
sys.exit(not (car[:2] == (160, 120) and 0.08 < car[2] < 0.9 and car[3] == 0 and help[2] > 0.99))
PY
