#!/usr/bin/env bash
# Measures the figures of the README's "Performance" section in one run, each
# on 2 cores (taskset -c 0,1 for the X server and the program alike) at
# 1024x768 on llvmpipe, Mesa's software rasteriser:
#   frame     the arena frame against the empty frame (bench_FrameBench),
#             mean, median and spread of 5 repetitions of each;
#   CPU       instructions per arena frame under callgrind (bench_FrameBench,
#             30 frames): our code against the driver on the calling thread,
#             then the whole frame with llvmpipe rasterising on the calling
#             thread too (LP_NUM_THREADS=0), which shows what the picture
#             costs;
#   OBJ       our OBJ reader against tinyobjloader on the same 15 MB file;
#   start-up  from exec to the end of the first arena frame, step by step
#             (the soak tool starts as the program does), 5 runs.
# Nothing else should run on cores 0 and 1 meanwhile: the script prints the
# load and what runs on those cores first. Takes about 15 minutes, most of
# it under callgrind.
#   tools/perf/figures.sh [BUILD_DIR]    (default: build/)
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
on2() { taskset -c 0,1 xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; }

uptime
echo "busy on cores 0-1: $(ps -eLo psr,pcpu,comm --no-headers | awk '$1 <= 1 && $2 > 5 {print $3}' | sort | uniq -c | tr '\n' ' ')"

echo "== frame: arena against empty, wall time per frame"
on2 "$build/bench/bench_FrameBench" --benchmark_filter='^BM_[A-Za-z]+/real_time$' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null | grep "^BM_"

echo "== CPU: instructions per arena frame (callgrind, 30 frames)"
callgrind() {
    on2 valgrind --tool=callgrind --collect-atstart=no '--toggle-collect=arenaFrame*' \
        --callgrind-out-file="$tmp/$1.out" "$build/bench/bench_FrameBench" \
        --benchmark_filter=iterations:30 > "$tmp/$1.log" 2>&1
    python3 "$src/tools/perf/callgrind_split.py" "$tmp/$1.out" arenaFrame \
        Engine::Level::update Engine::Level::render
}
echo "-- rasterising on llvmpipe's own threads (as played): the calling thread"
callgrind threads
echo "-- rasterising on the calling thread too: the whole frame"
LP_NUM_THREADS=0 callgrind single

echo "== OBJ reader against tinyobjloader"
taskset -c 0,1 "$build/bench/bench_ObjReaderBench" --benchmark_filter=Comparison 2>/dev/null | grep "^BM_"

echo "== start-up to the first arena frame"
for run in 1 2 3 4 5; do
    on2 "$build/tools/soak/soak" --seconds 0.1 --warmup 0 2>/dev/null | sed -n 's/^soak: start-up/start-up/p'
done
