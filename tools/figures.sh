#!/bin/bash
# tools/figures.sh [e2e-binary-dir]
#
# Measures the figures of BENCHMARKS.md and writes it: the native Google
# Benchmark of the text code (a Release build of its own, build/bench-release),
# then, under Wine, the suites Figures and LongRun of the end-to-end tests
# (processor use during pauses, pause overshoot, time to a visible window
# against a bare window, posting rate, 2000 cycles with their memory). The
# Wine part uses the given x86_64 end-to-end build directory, configured here
# if it does not exist yet (default build/figures). Figures, not checks: only
# a lost or misordered line in the long run fails it. Takes about 10 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
e2e_dir=${1:-build/figures}
bench_dir=build/bench-release
out=BENCHMARKS.md

step() { printf '\n=== %s\n' "$*" >&2; }

step "native benchmarks (Release)"
bench_cmd="cmake -S . -B $bench_dir -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF && cmake --build $bench_dir --target text_bench && $bench_dir/bench/text_bench"
cmake -S . -B "$bench_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF >/dev/null
cmake --build "$bench_dir" -j2 --target text_bench >/dev/null
bench_output=$("$bench_dir/bench/text_bench" 2>&1)
echo "$bench_output" >&2

step "figures under Wine ($e2e_dir)"
if [ ! -f "$e2e_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$e2e_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_E2E_PORT=18099 >/dev/null
fi
cmake --build "$e2e_dir" -j2 --target e2e_tests >/dev/null
tools/wine/session start "$e2e_dir"
trap 'tools/wine/session stop "$e2e_dir"' EXIT
wine_cmd="KESTRUNE_FIGURES=1 tools/wine/run $e2e_dir $e2e_dir/tests/e2e/e2e_tests.exe --gtest_filter='Figures.*:LongRun.*'"
set +e
wine_output=$(KESTRUNE_FIGURES=1 tools/wine/run "$e2e_dir" "$e2e_dir/tests/e2e/e2e_tests.exe" \
              --gtest_filter='Figures.*:LongRun.*' 2>&1)
wine_status=$?
set -e
echo "$wine_output" | grep -av '^FIGURE|' >&2

step "writing $out"
{
  echo "# Figures"
  echo
  echo "Written by \`tools/figures.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) processors," \
       "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end, $(/usr/lib/wine/wine64 --version)."
  echo "Figures to read, not checks. On a shared, busy machine the times vary by tens of per cent."
  echo
  echo "## Under Wine: the 64-bit build of the program"
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
