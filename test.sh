#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: one X
# server (Xvfb, llvmpipe) for the whole run, and OpenAL's null backend.
# Then builds the tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them once more, leak
# checks on (tests/CMakeLists.txt sets the sanitizer options and the
# third-party leak suppressions, tests/sanitizer/lsan.supp). Any sanitizer
# report fails the run. In between, the fuzz targets are built with clang and
# each runs for 30 seconds from the asset pack's seeds (scripts/fuzz.sh), with
# a fixed seed so that a failing run can be repeated; a finding fails the
# run. Extra arguments go to both ctest runs.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh
export ALSOFT_DRIVERS=null
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
  ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"

bash scripts/fuzz.sh 30 -seed=1

# The asset generator is not built here, and the pack checks under tools/
# test the committed data, which the plain run above already covers.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
  -DVANTORRA_SANITIZE=address,undefined \
  -DVANTORRA_BENCH=OFF -DVANTORRA_TOOLS=OFF > /dev/null
cmake --build build-asan -j"$(nproc)"
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -E '^tools/' "$@"
