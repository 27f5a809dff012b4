#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# ./build-asan and runs the suite there (extra arguments go to ctest, e.g.
# -R tst_frames). Any report fails its test; tests/sanitizers/lsan.supp hides
# only the leaks of Qt's own plugins.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"${JOBS:-2}"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j"${JOBS:-2}" "$@"
