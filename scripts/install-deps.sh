#!/usr/bin/env bash
# Installs the Debian packages ECU Vantor needs to build and run, when missing,
# and any further packages named as arguments (the package and CI scripts).
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qtbase5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools
  libqwt-qt5-dev libqt5opengl5-dev libqt5serialport5-dev
  libhidapi-dev
  fonts-dejavu-core qttranslations5-l10n  # the interface font; Qt's own texts in Italian
  "$@"
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -o DPkg::Lock::Timeout=300 update -qq
$SUDO apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${missing[@]}"
