#!/bin/bash
# tools/figures.sh [e2e-binary-dir]
#
# Measures the figures of BENCHMARKS.md and writes it: the native Google
# Benchmark of the text code (a Release build of its own, build/bench-release),
# then, under Wine, the suites Figures and LongRun of the end-to-end tests
# (processor use during pauses, pause overshoot, time to a visible window
# against a bare window at 96 and at 144 dpi, posting rate, answer time and
# stop time while a very long line is typed, 2000 cycles with their memory).
# Figures, not checks: only a lost or misordered line in the long run fails
# it. Takes about 12 minutes.
#
# The program measured is the product, the 32-bit Kestrune.exe, where 32-bit
# Wine runs (as tools/test.sh chooses); elsewhere the 64-bit build of the same
# sources stands in for it, and BENCHMARKS.md says which. The Wine part uses
# the given end-to-end build directory, configured here for that build if it
# does not exist yet (default build/figures-i686 or build/figures-x86_64; the
# update server's loopback port is $KESTRUNE_E2E_PORT, default 18099).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=i686
  wine_version=$(/usr/lib/wine/wine --version)
  measured="the 32-bit Kestrune.exe (the product)"
else
  arch=x86_64
  wine_version=$(/usr/lib/wine/wine64 --version)
  measured="the 64-bit build of the same sources (32-bit Wine does not run on this machine)"
fi
toolchain=$root/cmake/mingw-$arch.cmake
e2e_dir=${1:-build/figures-$arch}
bench_dir=build/bench-release
out=BENCHMARKS.md

step() { printf '\n=== %s\n' "$*" >&2; }

step "native benchmarks (Release)"
bench_cmd="cmake -S . -B $bench_dir -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF && cmake --build $bench_dir --target text_bench && $bench_dir/bench/text_bench"
cmake -S . -B "$bench_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF >/dev/null
cmake --build "$bench_dir" -j2 --target text_bench >/dev/null
bench_output=$("$bench_dir/bench/text_bench" 2>&1)
echo "$bench_output" >&2

step "figures under Wine: $measured ($e2e_dir)"
if [ ! -f "$e2e_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$e2e_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_E2E_PORT="${KESTRUNE_E2E_PORT:-18099}" >/dev/null
fi
cmake --build "$e2e_dir" -j2 --target e2e_tests >/dev/null
program=$e2e_dir/e2e/Kestrune.exe
case $arch:$(file -b "$program") in
  i686:"PE32 executable"*|x86_64:"PE32+ executable"*) ;;
  *) echo "figures: $program is not the $arch build: $(file -b "$program")" >&2; exit 1 ;;
esac
tools/wine/session start "$e2e_dir"
trap 'tools/wine/session stop "$e2e_dir"' EXIT
wine_cmd="KESTRUNE_FIGURES=1 tools/wine/run $e2e_dir $e2e_dir/tests/e2e/e2e_tests.exe --gtest_filter='Figures.*:LongRun.*'"
set +e
wine_output=$(KESTRUNE_FIGURES=1 tools/wine/run "$e2e_dir" "$e2e_dir/tests/e2e/e2e_tests.exe" \
              --gtest_filter='Figures.*:LongRun.*' 2>&1)
wine_status=$?
# The time to a visible window once more, with the windows scaled to 150 %.
tools/wine/session stop "$e2e_dir"
tools/wine/session start "$e2e_dir" --dpi 144
wine_output+=$'\n'$(KESTRUNE_FIGURES=1 KESTRUNE_FIGURES_DPI=144 tools/wine/run "$e2e_dir" \
                     "$e2e_dir/tests/e2e/e2e_tests.exe" --gtest_filter='Figures.TimeToAVisibleWindow' 2>&1) ||
  wine_status=$?
set -e
echo "$wine_output" | grep -av '^FIGURE|' >&2

step "writing $out"
{
  echo "# Figures"
  echo
  echo "Written by \`tools/figures.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) processors," \
       "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
  echo "Figures to read, not checks. On a shared, busy machine the times vary by tens of per cent."
  echo
  echo "## Under Wine: $measured"
  echo
  echo "Program: \`$program\` ($(file -b "$program" | cut -d, -f1)), the build that fetches its update page"
  echo "from the test's loopback server; Wine: $wine_version, ANSI code page 936, virtual desktop 800 × 600 (1200 × 900 at 144 dpi)."
  echo
  echo "Command: \`$wine_cmd\` (inside \`tools/wine/session start $e2e_dir\`)."
  echo
  echo "| Figure | Value | How it was measured | Test |"
  echo "|---|---|---|---|"
  echo "$wine_output" | tr -d '\r' | grep -a '^FIGURE|' |
    awk -F'|' '{ printf "| %s | %s | %s | `%s` |\n", $3, $4, $5, $2 }'
  echo
  echo "## Native: the portable text code (Google Benchmark, Release)"
  echo
  echo "Command: \`$bench_cmd\`"
  echo
  echo '```'
  echo "$bench_output" | grep -E '^(Benchmark|-|split|million)'
  echo '```'
  if echo "$bench_output" | grep -q 'Library was built as DEBUG'; then
    echo
    echo "Google Benchmark warned that its own library (the distribution's package) was built as Debug;"
    echo "the code measured is this Release build."
  fi
} >"$out"
cat "$out"
exit $wine_status
