#!/usr/bin/env bash
# Builds everything with ThreadSanitizer in ./build-tsan and runs the tests
# that run threads: the worker tests, the main-window integration tests and
# the check that a deliberate race is still reported with the suppressions in
# force. Extra arguments replace the selection (e.g. -R tst_gestrt).
# tests/sanitizers/tsan.supp hides only what lies inside Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-tsan -DVANTOR_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"${JOBS:-2}"
cd build-tsan
if [ $# -eq 0 ]; then
  set -- -R '^(tst_gest|tst_eculine|tst_session|tst_sequencer|tst_linefaults|tst_portsearch|tst_mainwindow|tst_transfers|tst_linkcontrol|tst_transport|tst_variant|tst_language|tsan_)'
fi
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j"${JOBS:-2}" "$@"
