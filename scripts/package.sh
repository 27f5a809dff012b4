#!/usr/bin/env bash
# Builds the Debian package of ECU Vantor: build/ecu-vantor_<version>_<arch>.deb.
# Installs what is missing (the build dependencies, and dpkg-dev and file, which
# CPack uses to find the package's dependencies), builds, and runs CPack.
#
#   scripts/package.sh
#   sudo apt install ./build/ecu-vantor_2.0.0.1_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev file

scripts/build.sh
rm -f build/ecu-vantor_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/ecu-vantor_*.deb
