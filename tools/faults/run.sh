#!/usr/bin/env bash
# Plants each fault of faults.txt in turn into a scratch copy of the tree,
# builds it and runs the test suite under Xvfb, and prints which tests caught
# the fault. A fault no test catches is listed as MISSED. The tree given (or
# this checkout) is never changed: the copy is made with `git worktree`.
#   tools/faults/run.sh [ctest arguments...]
# Output: one line per fault, "caught-count | fault | failing tests".
set -uo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="${FAULTS_DIR:-/tmp/vantorra-faults}"
list="${FAULTS_LIST:-$src/tools/faults/faults.txt}"

if [ ! -d "$scratch/.git" ] && [ ! -f "$scratch/.git" ]; then
  git -C "$src" worktree add -q --detach "$scratch" HEAD
fi
# The scratch copy follows this checkout, uncommitted changes included.
git -C "$scratch" reset -q --hard
git -C "$scratch" checkout -q --detach "$(git -C "$src" rev-parse HEAD)"
(cd "$src" && git diff HEAD) | (cd "$scratch" && git apply --allow-empty 2>/dev/null || true)
cmake -S "$scratch" -B "$scratch/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTORRA_BENCH=OFF > /dev/null
cmake --build "$scratch/build" -j"$(nproc)" > /dev/null || { echo "clean build fails"; exit 1; }

missed=0
while IFS="|" read -r file subst what <&3; do
  file="$(echo "$file" | xargs)"; what="$(echo "$what" | sed 's/^ *//')"
  subst="$(echo "$subst" | sed 's/^ *//; s/ *$//')"
  [ -z "$file" ] || [ "${file#\#}" != "$file" ] && continue
  cp "$scratch/$file" "$scratch/$file.orig"
  perl -0pi -e "$subst" "$scratch/$file"
  if cmp -s "$scratch/$file" "$scratch/$file.orig"; then
    echo "  - | $what | NOT PLANTED (substitution did not match $file)"
    mv "$scratch/$file.orig" "$scratch/$file"; touch "$scratch/$file"; missed=$((missed + 1)); continue
  fi
  if ! cmake --build "$scratch/build" -j"$(nproc)" > /dev/null 2>&1; then
    echo "  build | $what | caught by the compiler"
  else
    # Nothing a failing test left behind may reach the next run.
    git -C "$scratch" clean -fdxq -e build -e '*.orig'
    failed=$(cd "$scratch/build" && xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
      env ALSOFT_DRIVERS=null ctest -j"$(nproc)" --timeout 300 "$@" 2>&1 \
      | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' | tr '\n' ' ')
    n=$(echo "$failed" | wc -w)
    [ "$n" -eq 0 ] && missed=$((missed + 1))
    printf '%3d | %s | %s\n' "$n" "$what" "${failed:-MISSED}"
  fi
  # A fresh time stamp, so the build sees the file changed back.
  mv "$scratch/$file.orig" "$scratch/$file"; touch "$scratch/$file"
done 3< "$list"
cmake --build "$scratch/build" -j"$(nproc)" > /dev/null 2>&1
exit $((missed > 0))
