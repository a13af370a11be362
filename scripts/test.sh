#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (windows offscreen).
# Usage: scripts/test.sh [build-folder] [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir="${1:-build}"
shift || true
bash scripts/build.sh "$dir" "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
