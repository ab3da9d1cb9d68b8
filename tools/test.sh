#!/bin/bash
# Every test: installs what is missing, builds the native and the Windows
# presets, runs the native unit tests (AddressSanitizer + UBSan) and the
# Windows unit and end-to-end tests under Wine, packs and checks the Windows
# ZIP (tools/package.sh), then fuzzes the text helpers and the update page
# (tools/fuzz.sh) and runs the static analysis (tools/static-analysis.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n=== %s\n' "$*"; }

step "packages"
tools/install-deps.sh

step "native: unit tests with AddressSanitizer and UBSan"
cmake --preset native >/dev/null
cmake --build --preset native -j2
ctest --preset native

step "windows: Kestrune.exe for 32-bit Windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

# The product is the 32-bit program. Where the kernel cannot run 32-bit
# programs (and so no 32-bit Wine), the tests run the 64-bit build of the
# same sources under 64-bit Wine instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine_preset=windows
else
  wine_preset=windows-x64
  step "windows-x64: this kernel runs no 32-bit programs; testing the 64-bit build"
  cmake --preset windows-x64 >/dev/null
  cmake --build --preset windows-x64 -j2
fi

step "$wine_preset: unit and end-to-end tests under Wine"
ctest --preset "$wine_preset"

step "windows: the ZIP package, checked (and started where 32-bit Wine runs)"
tools/package.sh build/windows

fuzz_seconds=${FUZZ_SECONDS:-20}
step "fuzzing ($fuzz_seconds s per target)"
FUZZ_SECONDS=$fuzz_seconds tools/fuzz.sh

step "static analysis"
tools/static-analysis.sh
