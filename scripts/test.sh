#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with warnings as errors and runs every
# test: once as released, once more under AddressSanitizer and UndefinedBehaviorSanitizer, and
# replays the seed corpus of each fuzz target (built by clang with libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== Formatting"
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

echo "== Build and test"
bash scripts/build.sh build/release -DRZKSET_WERROR=ON
(cd build/release && ctest --output-on-failure --timeout 300 -j2)

echo "== Every suite under the sanitizers"
bash scripts/build.sh build/sanitize -DRZKSET_WERROR=ON -DRZKSET_SANITIZE=ON -DRZKSET_GUI=ON
(cd build/sanitize && ctest --output-on-failure --timeout 300 -j2)

echo "== Fuzz targets over their seed corpora"
if command -v clang++ >/dev/null; then
  CC=clang CXX=clang++ bash scripts/build.sh build/fuzz -DRZKSET_WERROR=ON -DRZKSET_FUZZ=ON
  (cd build/fuzz && ctest --output-on-failure --timeout 300 -j2)
else
  echo "clang++ is missing: fuzz targets not built"
fi
