#!/usr/bin/env bash
# Installs what is missing, builds, starts the ECU simulator on a virtual
# serial port, and starts ECU Vantor. The simulator ends with the tool.
# Pass --no-sim to start the tool alone (for a real ECU).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

SIM_PID=""
if [ "${1:-}" != "--no-sim" ]; then
  build/tools/ecu-sim/ecu-sim --paced > build/ecu-sim.log 2>&1 &
  SIM_PID=$!
  trap 'kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true' EXIT
  sleep 0.5
  echo "ECU simulator running (log: build/ecu-sim.log):"
  head -n 3 build/ecu-sim.log || true
fi

build/src/ecu-vantor
