#!/usr/bin/env bash
# Every speed measure beside its anchor in one command: builds the tools (Release, in
# build-bench/), prepares the data, starts its own unit simulator and, as root, vsftpd on free
# loopback ports, runs the measures in ROUNDS interleaved rounds (default 7) and prints one
# table of ratios against the goals. Work folders: DISK_FOLDER (default /var/tmp/rzkset-bench)
# and TMPFS_FOLDER (default /dev/shm/rzkset-bench). ONLY=listing,bounds runs only those groups
# of measures (split, transfers, listing, journal, hash, printing, bounds, fleet, saving).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

for tool in curl openssl /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
command -v lftp >/dev/null || echo "lftp is missing: the registration measure is left out" >&2

cmake -S "$repo" -B "$repo/build-bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$repo/build-bench" --target split_tape bench_tool print_sheet fleet_tool \
  journal_window -j"$(nproc)" >/dev/null
exec /usr/bin/python3 "$repo/bench/measure.py" "$repo/build-bench/bench"
