#!/usr/bin/env bash
# Installs the Debian 12 packages Kalvanta needs, only those that are missing.
# Usage: scripts/deps.sh build|test
set -euo pipefail
want=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
      qt6-base-dev fonts-dejavu-core libpugixml-dev libxlsxwriter-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
      qt6-translations-l10n)
if [ "${1:-build}" = test ]; then
  want+=(poppler-utils libreoffice-writer-nogui libreoffice-calc-nogui clang libclang-rt-14-dev valgrind
        desktop-file-utils appstream dpkg-dev ccache groff-base libglib2.0-bin shared-mime-info)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
