#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with warnings as errors and runs every
# test: once as released, once more the model suites under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== Formatting"
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

echo "== Build and test"
bash scripts/build.sh build/release -DRZKSET_WERROR=ON
(cd build/release && ctest --output-on-failure --timeout 300 -j2)

echo "== Model suites under the sanitizers"
bash scripts/build.sh build/sanitize -DRZKSET_WERROR=ON -DRZKSET_SANITIZE=ON -DRZKSET_GUI=OFF
(cd build/sanitize && ctest --output-on-failure --timeout 300 -j2)
