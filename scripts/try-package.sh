#!/usr/bin/env bash
# Tries the Debian package as a new user would: builds it, installs it on this machine with apt
# (as root, or through sudo), starts the installed program under a virtual display with an empty
# data folder, answers the first start's settings-reset message, takes a screenshot of the main
# window (build/package/screenshot.png), closes it, and checks that RZKSET.ini and Data/ were made
# in the data folder and nothing beside the program. Changes the machine, so it is no test.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

deb=$(bash scripts/package.sh)
echo "-- Installing $deb"
"${as_root[@]}" apt-get update -q >/dev/null
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "$deb" >/dev/null
# Only this script needs them: a screenshot, and keys for the program's windows.
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
  x11-apps imagemagick xdotool >/dev/null

data_home=$(mktemp -d)
trap 'rm -rf "$data_home"' EXIT
screenshot=$(pwd)/build/package/screenshot.png
rm -f "$screenshot"

echo "-- Starting rzkset with XDG_DATA_HOME=$data_home"
XDG_DATA_HOME=$data_home SCREENSHOT=$screenshot xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -euo pipefail
  # xvfb-run may hand over before its server takes connections.
  for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
  done
  rzkset &
  program=$!
  main=
  for _ in $(seq 100); do
    main=$(xdotool search --name "^RZKSET Version" 2>/dev/null | head -n 1) && [ -n "$main" ] && break
    # The first start has no machine profile yet and says so in a box named "RZKSET".
    box=$(xdotool search --name "^RZKSET\$" 2>/dev/null | head -n 1) || true
    [ -n "$box" ] && xdotool windowfocus --sync "$box" key Return
    sleep 0.2
  done
  [ -n "$main" ] || { echo "The main window did not appear." >&2; kill "$program"; exit 1; }
  sleep 1
  xwd -root -silent | convert xwd:- "$SCREENSHOT"
  xdotool windowfocus --sync "$main" key Escape
  wait "$program"
'

folder=$data_home/rzkset
for file in "$folder/RZKSET.ini" "$folder/Data"; do
  [ -e "$file" ] || { echo "Missing: $file" >&2; exit 1; }
done
if [ -e /usr/bin/RZKSET.ini ]; then
  echo "The installed program wrote beside itself: /usr/bin/RZKSET.ini" >&2
  exit 1
fi
echo "-- The main window appeared ($screenshot); RZKSET.ini and Data/ are in $folder"
