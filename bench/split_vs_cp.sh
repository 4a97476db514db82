#!/usr/bin/env bash
# Times the split by program number against copying the same bytes and against a gawk split.
#
#   bench/split_vs_cp.sh [WORKDIR]
#
# Builds split_tape (Release, model libraries only) in build-bench/, writes a 200 MB tape of
# 20,000 programs into WORKDIR (default ${TMPDIR:-/tmp}/rzkset-bench; give a tmpfs folder such
# as /dev/shm/rzkset-bench to leave the disk out), checks that split_tape and the gawk script
# write the same files, then runs hyperfine over cp, split_tape, gawk and csplit (a C tool
# that creates the same number of files, for the cost of the files themselves). RUNS sets the
# number of timed runs (default 5).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-${TMPDIR:-/tmp}/rzkset-bench}
runs=${RUNS:-5}

for tool in hyperfine gawk csplit /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/install-deps.sh)" >&2; exit 1; }
done

cmake -S "$repo" -B "$repo/build-bench" -DCMAKE_BUILD_TYPE=Release -DRZKSET_GUI=OFF >/dev/null
cmake --build "$repo/build-bench" --target split_tape -j2 >/dev/null
split_tape=$repo/build-bench/bench/split_tape

mkdir -p "$work"
tape=$work/tape.nc
if [ ! -s "$tape" ]; then
  echo "writing $tape"
  /usr/bin/python3 "$repo/bench/make_tape.py" "$tape" 20000 200000000
fi
echo "tape: $(stat -c %s "$tape") bytes on $(df --output=fstype "$work" | tail -1)"

# Both splits must write the same 20,000 files before their times mean anything.
rm -rf "$work/out" "$work/out-gawk"
mkdir "$work/out" "$work/out-gawk"
"$split_tape" "$tape" "$work/out" .NC
gawk -v dir="$work/out-gawk" -v suffix=.NC -f "$repo/bench/split.awk" "$tape"
diff -rq "$work/out" "$work/out-gawk" >/dev/null || { echo "split_tape and gawk differ" >&2; exit 1; }
echo "split files: $(ls "$work/out" | wc -l), identical to the gawk split"
rm -rf "$work/out-gawk"

hyperfine --warmup 1 --runs "$runs" --export-json "$work/times.json" \
  --prepare "rm -rf '$work/out' '$work/copy.nc'; mkdir '$work/out'; sync" \
  -n cp "cp '$tape' '$work/copy.nc'" \
  -n split_tape "'$split_tape' '$tape' '$work/out' .NC" \
  -n gawk "gawk -v dir='$work/out' -v suffix=.NC -f '$repo/bench/split.awk' '$tape'" \
  -n csplit "csplit -s -z -n 5 -f '$work/out/O' '$tape' '/^O[0-9]/' '{*}'"

/usr/bin/python3 - "$work/times.json" <<'PYTHON'
import json, sys
means = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
for name in ("split_tape", "gawk", "csplit"):
    print("%-10s %7.3f s = %6.1f x cp" % (name, means[name], means[name] / means["cp"]))
print("target: split_tape at most 3 x cp (%.3f s)" % (3 * means["cp"]))
PYTHON
rm -rf "$work/out" "$work/copy.nc"
