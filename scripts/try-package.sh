#!/usr/bin/env bash
# Tries the Debian package as a new user would: builds it, installs it on this machine with apt
# (as root, or through sudo), checks what the desktop and software centres read of it (the menu
# entry with its Exec line and MIME type, the MIME database, the AppStream metadata, the manual
# page) and the command line without a display, starts the installed program under a virtual
# display with an empty data folder, checks that the first start shows the main window and
# nothing else, takes a screenshot of it (build/package/screenshot.png), closes it, checks that
# RZKSET.ini and the default profile were made in the data folder and nothing beside the program,
# and finally opens an NC program as the file manager's "Open with" does, which must start the
# send (its readiness check answers first). Changes the machine, so it is no test.
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
  x11-apps imagemagick xdotool man-db >/dev/null

echo "-- Checking the installed menu entry, MIME type, metadata, manual page and command line"
desktop-file-validate /usr/share/applications/rzkset.desktop
grep -q '^Exec=rzkset %F$' /usr/share/applications/rzkset.desktop
grep -qx '60:text/x-rzkset-nc-program:\*\.nc' /usr/share/mime/globs2
grep -q '^text/x-rzkset-nc-program=.*rzkset.desktop' /usr/share/applications/mimeinfo.cache
appstreamcli validate --no-net /usr/share/metainfo/org.rzkset.rzkset.metainfo.xml >/dev/null
man -w rzkset >/dev/null
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM rzkset --help | grep -q -- '--send FILE'
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM rzkset --version | grep -qx 'rzkset [0-9.]*'
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM rzkset --sned 2>/dev/null || status=$?
[ "$status" -eq 2 ] || { echo "rzkset --sned answered $status, not 2." >&2; exit 1; }

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
  # Every window the process shows.
  visible() { xdotool search --all --onlyvisible --pid "$1" 2>/dev/null || true; }
  # Waits for the main window of the process; its id.
  main_window() {
    for _ in $(seq 100); do
      window=$(xdotool search --all --onlyvisible --pid "$1" --name "^RZKSET Version" 2>/dev/null | head -n 1) || true
      [ -n "$window" ] && { echo "$window"; return; }
      sleep 0.2
    done
    echo "The main window did not appear." >&2
    kill "$1"
    exit 1
  }
  rzkset &
  program=$!
  main=$(main_window "$program")
  # Long enough for a box that the start-up would show after the window.
  sleep 2
  if [ "$(visible "$program" | wc -l)" -ne 1 ]; then
    echo "The first start showed more than the main window:" >&2
    for window in $(visible "$program"); do xdotool getwindowname "$window" >&2; done
    kill "$program"
    exit 1
  fi
  xwd -id "$main" -silent | convert xwd:- "$SCREENSHOT"
  xdotool windowfocus --sync "$main" key Escape
  wait "$program"

  # "Open with RZKSET" runs the Exec line with the file for %F. The send starts with the
  # readiness check, whose warning about the USB memory "/" (the drive of a first start) ends it.
  printf "%%\r\nO0001\r\nM30\r\n%%\r\n" > "$XDG_DATA_HOME/O0001.nc"
  command=$(sed -n "s/^Exec=//p" /usr/share/applications/rzkset.desktop)
  ${command/\%F/$XDG_DATA_HOME/O0001.nc} &
  program=$!
  main=$(main_window "$program")
  box=
  for _ in $(seq 50); do
    box=$(xdotool search --all --onlyvisible --pid "$program" --name "^RZKSET\$" 2>/dev/null | head -n 1) || true
    [ -n "$box" ] && break
    sleep 0.2
  done
  [ -n "$box" ] || { echo "Opening an NC program did not start the send." >&2; kill "$program"; exit 1; }
  xdotool windowfocus --sync "$box" key Return
  sleep 0.5
  xdotool windowfocus --sync "$main" key Escape
  wait "$program"
'

folder=$data_home/rzkset
for file in "$folder/RZKSET.ini" "$folder/Data/１号機.txt"; do
  [ -e "$file" ] || { echo "Missing: $file" >&2; exit 1; }
done
if [ -e /usr/bin/RZKSET.ini ]; then
  echo "The installed program wrote beside itself: /usr/bin/RZKSET.ini" >&2
  exit 1
fi
echo "-- The first start showed the main window alone ($screenshot); RZKSET.ini and the default profile are in $folder; opening an NC program started the send"
