#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest, two
# (or JOBS) at a time: every test program keeps its settings and virtual
# ports in a folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j"${JOBS:-2}" "$@"
