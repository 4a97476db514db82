#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing RZKSET need.
# Quick when everything is already there: apt is only asked when a package is missing.
set -euo pipefail

packages=(
  g++ cmake make git pkg-config clang-format
  clang libclang-rt-14-dev
  qt6-base-dev qt6-translations-l10n libgl-dev libcurl4-openssl-dev libssl-dev libsimdjson-dev libblkid-dev libgtest-dev libgmock-dev
  python3 python3-pyftpdlib vsftpd
  poppler-utils zbar-tools fonts-ipafont-gothic
  dosfstools mtools xvfb xauth ifupdown
  libbenchmark-dev hyperfine gawk curl lftp openssl
  dpkg-dev file desktop-file-utils appstream shared-mime-info groff-base
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
