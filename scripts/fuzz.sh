#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (tests, benchmarks and
# tools off) and runs each for SECONDS (default 30), all at once, from seed
# corpora made afresh from the asset pack (fuzz/seeds.py). Any finding (crash,
# sanitizer report, leak, timeout, out of memory) fails the run; its input is
# kept in build-fuzz/artifacts/. Extra arguments go to every target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true

if [ -z "${VANTORRA_FUZZ_BUILT:-}" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTORRA_FUZZ=ON -DVANTORRA_TESTS=OFF -DVANTORRA_BENCH=OFF -DVANTORRA_TOOLS=OFF > /dev/null
  cmake --build build-fuzz -j"$(nproc)" --target fuzz_ConfigFuzz fuzz_ObjReaderFuzz \
    fuzz_FontReaderFuzz fuzz_TextureFuzz > /dev/null
fi
# Two targets draw: one X server for all of them.
if [ -z "${DISPLAY:-}" ]; then
  VANTORRA_FUZZ_BUILT=1 exec xvfb-run -a -s "-screen 0 640x480x24 -noreset" bash "$0" "$seconds" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 fuzz/seeds.py "$work"
mkdir -p build-fuzz/artifacts
# target, corpus, its own flags: the font target's inputs stay small, and
# any allocation its input's length does not allow is a finding.
runs=("ConfigFuzz config" "ObjReaderFuzz obj" "FontReaderFuzz font -max_len=4096 -malloc_limit_mb=64"
      "TextureFuzz texture")
pids=()
for run in "${runs[@]}"; do
  read -r target corpus flags <<< "$run"
  # shellcheck disable=SC2086
  build-fuzz/fuzz/fuzz_$target "$work/$corpus" $flags -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$PWD/build-fuzz/artifacts/$target-" "$@" \
    > "$work/$target.log" 2>&1 &
  pids+=($!)
done
failed=0
for i in "${!runs[@]}"; do
  read -r target _ <<< "${runs[$i]}"
  if wait "${pids[$i]}"; then status=ok; else status=FAILED; failed=1; fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$work/$target.log" | tail -1)
  echo "fuzz $target: $status, ${execs:-0} runs, ${rate:-0}/s, $cov"
  [ "$status" = ok ] || tail -n 40 "$work/$target.log"
done
exit "$failed"
