#!/usr/bin/env bash
# The asset generator is deterministic and the committed pack is what it makes.
# Arguments: source directory, build directory.
set -u
gen="$2/tools/assetgen/assetgen"
[ -x "$gen" ] || { echo "FAIL: generator not built: $gen"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in a b; do
    "$gen" "$work/$run" > "$work/$run.log" 2>&1 || { echo "FAIL: run $run:"; cat "$work/$run.log"; exit 1; }
done
diff -r "$work/a" "$work/b" > /dev/null || { echo "FAIL: two runs differ"; exit 1; }
status=0
for need in external/osaka_font.glf qelm.conf sounds/bgm.wav meshes/car/car.obj; do
    [ -f "$work/a/$need" ] || { echo "FAIL: generator did not write $need"; status=1; }
done
while IFS= read -r -d '' f; do
    cmp -s "$f" "$1/${f#"$work/a/"}" || { echo "FAIL: committed ${f#"$work/a/"} differs or is missing"; status=1; }
done < <(find "$work/a" -type f -print0)
[ "$status" = 0 ] && echo "OK: deterministic and identical to the committed pack"
exit "$status"
