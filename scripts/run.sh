#!/usr/bin/env bash
# Installs what is missing, builds, starts the ECU simulator on a virtual
# serial port (with its defaults: it answers at once, as a USB virtual port
# does), and starts ECU Vantor on that port. The simulator ends with the tool.
# Pass --no-sim to start the tool alone (for a real ECU); other arguments go
# to the simulator (e.g. --paced, --latency 16).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

SIM_PID=""
TOOL_ARGS=()
if [ "${1:-}" != "--no-sim" ]; then
  build/tools/ecu-sim/ecu-sim "$@" > build/ecu-sim.log 2>&1 &
  SIM_PID=$!
  trap 'kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true' EXIT
  sleep 0.5
  echo "ECU simulator running (log: build/ecu-sim.log):"
  head -n 3 build/ecu-sim.log || true
  LINK=$(sed -n 's/^Link: //p' build/ecu-sim.log | head -n 1)
  [ -n "$LINK" ] && TOOL_ARGS=(--port "$LINK")
fi

build/src/ecu-vantor "${TOOL_ARGS[@]}"
