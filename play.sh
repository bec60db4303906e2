#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from this directory
# (which holds the data files, the configuration and the log).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh vantorra
exec ./build/vantorra
