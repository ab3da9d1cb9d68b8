#!/bin/bash
# tools/screenshot.sh [binary-dir]
#
# Writes docs/main-window.png: the main window as it first opens, taken by the
# end-to-end driver under Wine. The build directory is a Windows build
# (default build/windows-x64) with e2e_tests built.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bindir=$(cd "${1:-$root/build/windows-x64}" && pwd)

started=
if [ ! -f "$bindir/wine-session.env" ]; then
    "$root/tools/wine/session" start "$bindir"
    started=yes
fi
trap '[ -z "$started" ] || "$root/tools/wine/session" stop "$bindir"' EXIT

rm -f "$bindir/e2e-artifacts/main-window.bmp"
KESTRUNE_SCREENSHOT=1 timeout 120 "$root/tools/wine/run" "$bindir" "$bindir/tests/e2e/e2e_tests.exe" \
    --gtest_filter=Screenshot.*
convert "$bindir/e2e-artifacts/main-window.bmp" "$root/docs/main-window.png"
echo "wrote $root/docs/main-window.png"
