#!/bin/bash
# tools/screenshot.sh [binary-dir]
#
# Writes docs/main-window.png and docs/main-window-150.png: the main window as
# it first opens at 100 % (96 dpi) and at 150 % (144 dpi), taken by the
# end-to-end driver under Wine, each in a session of its own scale (a session
# already running in the build directory is replaced). The build directory is
# a Windows build (default build/windows-x64) with e2e_tests built.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bindir=$(cd "${1:-$root/build/windows-x64}" && pwd)

trap '"$root/tools/wine/session" stop "$bindir"' EXIT

shoot() {  # <dpi> <png name>
    "$root/tools/wine/session" start "$bindir" --dpi "$1"
    rm -f "$bindir/e2e-artifacts/main-window.bmp"
    KESTRUNE_SCREENSHOT=1 timeout 120 "$root/tools/wine/run" "$bindir" "$bindir/tests/e2e/e2e_tests.exe" \
        --gtest_filter=Screenshot.*
    convert "$bindir/e2e-artifacts/main-window.bmp" "$root/docs/$2"
    "$root/tools/wine/session" stop "$bindir"
    echo "wrote $root/docs/$2"
}

shoot 96 main-window.png
shoot 144 main-window-150.png
