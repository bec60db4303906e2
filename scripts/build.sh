#!/usr/bin/env bash
# Configures and builds into build/. Arguments name the targets to build;
# without any, everything (game, tests, benchmarks, tools) is built. On a
# terminal the progress is one self-rewriting line; warnings and errors still
# show in full.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
if [ -t 1 ]; then
  cmake --build build -j"$(nproc)" "${targets[@]}" 2>&1 | awk '
    /^\[ *[0-9]+%\]/ { match($0, /[0-9]+%/); printf "\rBuilding... %s ", substr($0, RSTART, RLENGTH); fflush(); next }
    { print "\r" $0 }
    END { print "\rBuilding... done" }'
else
  cmake --build build -j"$(nproc)" "${targets[@]}"
fi
