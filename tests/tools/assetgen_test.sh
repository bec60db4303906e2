#!/usr/bin/env bash
# The asset generator is deterministic and the committed pack is what it
# makes: two runs give the same bytes, and every file they write is
# identical to the one in the source tree.
# Arguments: source directory, build directory.
set -u
src="$1"
build="$2"
gen="$build/tools/assetgen/assetgen"
if [ ! -x "$gen" ]; then
    echo "FAIL: generator not built: $gen"
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for run in a b; do
    if ! "$gen" "$work/$run" > "$work/$run.log" 2>&1; then
        echo "FAIL: generator run $run failed:"
        cat "$work/$run.log"
        exit 1
    fi
done

status=0
if ! diff -r "$work/a" "$work/b" > "$work/diff.txt"; then
    echo "FAIL: two runs differ:"
    head -20 "$work/diff.txt"
    status=1
fi

count=0
stale=0
while IFS= read -r -d '' f; do
    rel="${f#"$work/a/"}"
    count=$((count + 1))
    if [ ! -f "$src/$rel" ]; then
        echo "FAIL: $rel is generated but not in the source tree"
        stale=1
    elif ! cmp -s "$f" "$src/$rel"; then
        echo "FAIL: committed $rel differs from the generator's output (regenerate the pack)"
        stale=1
    fi
done < <(find "$work/a" -type f -print0 | sort -z)
[ "$stale" -eq 0 ] || status=1

for need in external/osaka_font.glf qelm.conf sounds/bgm.wav; do
    if [ ! -f "$work/a/$need" ]; then
        echo "FAIL: generator did not write $need"
        status=1
    fi
done

[ "$status" -eq 0 ] && echo "OK: $count generated files, deterministic and identical to the committed pack"
exit "$status"
