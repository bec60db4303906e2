#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: one X
# server (Xvfb, llvmpipe) for the whole run, and OpenAL's null backend.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh
export ALSOFT_DRIVERS=null
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
