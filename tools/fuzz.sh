#!/bin/bash
# Builds the libFuzzer targets of fuzz/ with clang in build/fuzz and runs each
# for FUZZ_SECONDS (default 20) on a copy of its seed corpus, so that a run
# never adds to the committed seeds. A crash, a broken property or a
# sanitizer report fails; the input that did it is kept in
# build/fuzz/runs/<target>/ and replays with build/fuzz/fuzz/fuzz_<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-20}
build=build/fuzz
targets=(text_search text_convert update_page)

# libFuzzer's runtime is only recommended by clang, and the project's
# packages install without recommendations.
if ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
  echo "installing: libclang-rt-14-dev" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends libclang-rt-14-dev >/dev/null
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRUNE_FUZZ=ON -DKESTRUNE_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

passed=0
failed=0
for target in "${targets[@]}"; do
  run="$build/runs/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus"
  cp fuzz/corpus/"$target"/* "$run/corpus/"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -artifact_prefix="$run/" "$run/corpus" >"$run/log" 2>&1; then
    printf '%-14s ok    %s\n' "$target" "$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$run/log" | grep -o '[0-9]*$') inputs in ${seconds} s"
    passed=$((passed + 1))
  else
    printf '%-14s FAILED, log: %s\n' "$target" "$run/log"
    grep -E -A3 'property broken|ERROR: |runtime error|deadly signal' "$run/log" | head -40 || true
    tail -20 "$run/log"
    failed=$((failed + 1))
  fi
done
echo "fuzz targets without a fault: $passed of $((passed + failed))"
[ "$failed" -eq 0 ]
