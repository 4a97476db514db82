#!/usr/bin/env bash
# Installs what is missing, builds RZKSET and starts it. The unit simulator is started on this
# machine first; on the first run (no RZKSET.ini beside the program yet) a demo is prepared: a
# machine profile whose unit is the simulator, chosen with the network transport. Later runs
# start the simulator again and leave the operator's files alone. RZKSET_NO_SIMULATOR=1 skips
# the simulator (a real unit is configured).
#
# Only the program is built, not the test suites: a first run takes minutes, not the time of the
# whole test build. Each step prints one line; the installer's and compiler's output goes to a
# log whose end is shown when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

build=$top/build/release
exe_dir=$build/app
store=$top/run/unitstore
mkdir -p "$build"
build_log=$build/run.log
: > "$build_log"

# step TEXT COMMAND...: runs COMMAND with its output in the log, and on failure shows the log's end.
step() {
  local text=$1
  shift
  echo "-- $text"
  if ! "$@" >>"$build_log" 2>&1; then
    echo "$text failed; the end of $build_log:" >&2
    tail -n 40 "$build_log" >&2
    exit 1
  fi
}

step "Installing what is missing" bash scripts/install-deps.sh
step "Configuring $build" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
step "Building RZKSET (a few minutes the first time)" \
  cmake --build "$build" --target RZKSET -j"$(nproc)"

# Port 21 needs root; elsewhere the demo uses 2121. An existing demo keeps its port.
if [ "$(id -u)" -eq 0 ]; then port=21; else port=2121; fi
if [ -e "$exe_dir/RZKSET.ini" ]; then
  configured=$(tr -d '\r' < "$exe_dir/RZKSET.ini" | sed -n 's/^[Pp][Oo][Rr][Tt] *= *\([0-9]*\).*/\1/p' | head -n 1)
  port=${configured:-21}
fi

if [ ! -e "$exe_dir/RZKSET.ini" ]; then
  mkdir -p "$exe_dir/Data"
  # The machine profile "１号機" (code page 932 file name in UTF-8 on Linux, CR LF lines).
  printf '%s\r\n' "#RZKSet Section Start" INDEX=1 IP1=127 IP2=0 IP3=0 IP4=1 MASK1=255 \
    MASK2=0 MASK3=0 MASK4=0 BPS=2 REMOTE_NO=7000 REMOTE_NO2=7009 OUT_CODE=0 STOPBIT=1 DOT=NC \
    SAME=0 ADD_DOT=0 OUT_FILE_NAME=RZKOUT IN_FILE_NAME=RZKIN AUTO_IN_CODE=1 IN_CODE=0 \
    "#RZKSet Section End" > "$exe_dir/Data/１号機.txt"
  {
    printf '[System]\r\nSousa=1\r\nPasv=1\r\n'
    # The program never writes "Port": it only points a demo at a simulator off port 21.
    [ "$port" = 21 ] || printf 'Port=%s\r\n' "$port"
  } > "$exe_dir/RZKSET.ini"
  echo "-- Prepared a demo: $exe_dir/RZKSET.ini and Data/１号機.txt (unit 127.0.0.1, port $port)"
fi

simulator_pid=
if [ "${RZKSET_NO_SIMULATOR:-0}" != 1 ]; then
  mkdir -p "$store"
  log=$(mktemp)
  /usr/bin/python3 tools/unitsim/unitsim.py --seed --root "$store" --address 127.0.0.1 \
    --port "$port" >"$log" 2>&1 &
  simulator_pid=$!
  trap '[ -n "$simulator_pid" ] && kill "$simulator_pid" 2>/dev/null; rm -f "$log"' EXIT
  for _ in $(seq 50); do
    grep -q "listening" "$log" && break
    kill -0 "$simulator_pid" 2>/dev/null || { cat "$log"; echo "The unit simulator did not start." >&2; exit 1; }
    sleep 0.1
  done
  echo "-- Unit simulator on 127.0.0.1:$port serving $store/pub as /pub/"
fi

echo "-- Starting $exe_dir/RZKSET"
echo "   its profile $exe_dir/RZKSET.ini, machine profiles in $exe_dir/Data/"
"$exe_dir/RZKSET"
