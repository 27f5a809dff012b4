#!/usr/bin/env bash
# Installs, when missing, what the CI needs beyond the build dependencies:
# clang and its runtime libraries (libFuzzer, sanitizers) for the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang libclang-rt-14-dev
