#!/usr/bin/env bash
# Builds a MIME database from the package's type alone, as shared-mime-info does on installation,
# and checks that NC programs of either case get the type the desktop entry takes.
set -euo pipefail
database=$(mktemp -d)
trap 'rm -rf "$database"' EXIT
mkdir "$database/packages"
cp "$1" "$database/packages/"
update-mime-database "$database" 2>/dev/null
grep -qx '60:text/x-rzkset-nc-program:\*\.nc' "$database/globs2"
# Globs without case-sensitive="true" match either case: O1234.NC as well as o1234.nc.
! grep -q 'cs' <(grep 'x-rzkset' "$database/globs2")
grep -q 'MimeType=text/x-rzkset-nc-program;' "$(dirname "$1")/rzkset.desktop"
