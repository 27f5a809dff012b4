#!/usr/bin/env bash
# Builds the Debian package of ECU Vantor: build/ecu-vantor_<version>_<arch>.deb.
# Installs what is missing (the build dependencies, and dpkg-dev and file, which
# CPack uses to find the package's dependencies), builds, and runs CPack.
#
#   scripts/package.sh
#   sudo apt install ./build/ecu-vantor_2.0.0.1_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

missing=()
for p in dpkg-dev file; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${missing[@]}"
fi

scripts/build.sh
rm -f build/ecu-vantor_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/ecu-vantor_*.deb
