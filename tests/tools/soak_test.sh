#!/usr/bin/env bash
# The soak tool's short run: a random match (one life each, so both win screens
# come within the warm-up) that is really played holds the bar, and the same
# seed gives the same match. Needs Xvfb. Arguments: source and build directory.
set -u
soak="$2/tools/soak/soak"
[ -x "$soak" ] || { echo "FAIL: soak not built: $soak"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }
# figure FILE TEXT: the number that follows TEXT on the report lines.
figure() { sed -n "s/^soak: .*$2 \([-0-9]*\).*/\1/p" "$1" | head -1; }

"$soak" --seconds 150 --warmup 90 --lives 1 --size 320x240 --data "$1" > "$work/run.txt" 2>&1
code=$?
grep "^soak: [^0-9]" "$work/run.txt"
[ $code = 0 ] || fail "exit $code (bar missed or no start)"
[ "$(figure "$work/run.txt" "window 320x240,")" = 9000 ] || fail "not 9000 frames"
for what in "lives lost" "items picked up" "explosions"; do
    [ "$(figure "$work/run.txt" "$what")" -gt 0 ] 2>/dev/null || fail "no $what: no match was played"
done
[ "$(figure "$work/run.txt" "non-finite transforms in")" = 0 ] || fail "non-finite transforms"
growth=$(sed -n 's/^soak: log .*growth \([0-9]*\) bytes/\1/p' "$work/run.txt")
[ "${growth:-999999}" -lt 65536 ] || fail "the log grew by $growth bytes after the warm-up"

# Same seed, same match; another seed, another one.
for run in a b c; do
    seed=7; [ $run = c ] && seed=8
    "$soak" --seconds 5 --warmup 1 --seed $seed --size 160x120 --data "$1" 2>&1 |
        sed -n 's/^soak: state hash //p' > "$work/$run.hash"
done
[ -s "$work/a.hash" ] && cmp -s "$work/a.hash" "$work/b.hash" ||
    fail "seed 7 twice: $(cat "$work/a.hash") and $(cat "$work/b.hash")"
cmp -s "$work/a.hash" "$work/c.hash" && fail "seeds 7 and 8 gave the same match"
[ $status = 0 ] && echo "soak: bar held, same seed same match"
exit $status
