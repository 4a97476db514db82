#!/usr/bin/env bash
# Builds the Debian package of RZKSET with CPack in build/package (the program only, not the test
# suites) and prints the package's path. Install it with: sudo apt-get install ./PACKAGE.deb
set -euo pipefail
cd "$(dirname "$0")/.."
folder=build/package

bash scripts/install-deps.sh
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DRZKSET_TESTS=OFF \
  >/dev/null
cmake --build "$folder" --target RZKSET rzkset_manpage -j"$(nproc)" >/dev/null
rm -f "$folder"/rzkset_*.deb
(cd "$folder" && cpack -G DEB >/dev/null)
ls "$(pwd)/$folder"/rzkset_*.deb
