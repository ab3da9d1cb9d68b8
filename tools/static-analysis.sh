#!/bin/bash
# clang-tidy with .clang-tidy and cppcheck with .cppcheck-suppressions over
# the sources: the portable logic, the Win32 half, the unit tests, the
# benchmarks and the fuzz targets. Any finding fails. The end-to-end tests
# and tools/ are not covered.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=build/static-analysis
mkdir -p "$out"

# The fuzz targets include libFuzzer's header, which comes with its runtime.
if ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
  echo "installing: libclang-rt-14-dev" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends libclang-rt-14-dev >/dev/null
fi

# Compile databases only, nothing is built: the native build with its tests,
# the x86_64 Windows build, and the fuzz targets' clang build.
cmake --no-warn-unused-cli -S . -B "$out/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --no-warn-unused-cli -S . -B "$out/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF >/dev/null
cmake --no-warn-unused-cli -S . -B "$out/fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKESTRUNE_FUZZ=ON -DKESTRUNE_TESTS=OFF >/dev/null

portable=$(ls src/*/*.cpp | grep -v -e '_win32\.cpp$')
win32=$(ls src/*/*_win32.cpp)
tests=$(ls tests/unit/*.cpp bench/*.cpp)
fuzz=$(ls fuzz/*.cpp)

# clang knows only UTF-8 literals; GCC's -fexec-charset=GBK is overridden.
tidy=(clang-tidy-14 --quiet --extra-arg=-fexec-charset=UTF-8)
# clang does not find MinGW's C++ headers by itself.
mingw_cxx=$(x86_64-w64-mingw32-g++-posix -print-file-name=include/c++)
win_args=(--extra-arg=--target=x86_64-w64-mingw32 "--extra-arg=-isystem$mingw_cxx"
          "--extra-arg=-isystem$mingw_cxx/x86_64-w64-mingw32" "--extra-arg=-isystem$mingw_cxx/backward")

failed=0
log="$out/clang-tidy.log"
: >"$log"
# tidy_files DATABASE [ARGUMENT...] -- FILE...: clang-tidy on each file, two
# at a time; the output of every file with findings goes to the log.
tidy_files() {
  local db=$1 extra=()
  shift
  while [ "$1" != "--" ]; do extra+=("$1"); shift; done
  shift
  printf '%s\n' "$@" | xargs -P2 -I{} sh -c 'out=$(mktemp); "$@" {} >"$out" 2>&1 || { cat "$out"; rm "$out"; exit 1; }; rm "$out"' \
    sh "${tidy[@]}" -p "$out/$db" "${extra[@]}" >>"$log" || failed=1
}

start=$SECONDS
tidy_files native -- $portable
tidy_files windows "${win_args[@]}" -- $win32
# The path-sensitive analyser costs four times as much on GoogleTest's macros
# and runs on the product's code above.
tidy_files native '--checks=-clang-analyzer-*' -- $tests
tidy_files fuzz -- $fuzz
count=$(echo $portable $win32 $tests $fuzz | wc -w)
if [ "$failed" -ne 0 ]; then
  grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated' "$log" | head -300
  echo "clang-tidy: FINDINGS in $count files ($((SECONDS - start)) s); full log: $log"
else
  echo "clang-tidy: $count files clean ($((SECONDS - start)) s)"
fi

# cppcheck 2.10 takes no letters beyond ASCII in identifiers (the controls'
# names, Ctl::标签2): it reads a copy in which every such letter is spelt
# _uXXXX, on the same lines, so that its reports point at the real ones.
start=$SECONDS
tree="$out/cppcheck-tree"
rm -rf "$tree"
for f in $portable $win32 $tests $fuzz src/*/*.h tests/unit/*.h fuzz/*.h; do
  mkdir -p "$tree/$(dirname "$f")"
  perl -CSD -pe 's/([^\x00-\x7f])/sprintf("_u%04x", ord($1))/ge' "$f" >"$tree/$f"
done
cppcheck=(cppcheck --std=c++20 --language=c++ --enable=warning,style,performance,portability
          --inline-suppr "--suppressions-list=$root/.cppcheck-suppressions" --error-exitcode=1 --quiet -j2 -I src)
(cd "$tree" && "${cppcheck[@]}" -I tests/unit -I fuzz --library=googletest --platform=unix64 \
   -DTEST_UPDATE_URL='"http://update.test/"' -DTEST_DOWNLOAD_URL='"http://download.test/"' \
   $portable $tests $fuzz) || failed=2
(cd "$tree" && "${cppcheck[@]}" --library=windows --platform=win64 -D_WIN32 -D_WIN64 \
   -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 $win32) || failed=2
if [ "$failed" -eq 2 ]; then
  echo "cppcheck: FINDINGS ($((SECONDS - start)) s)"
else
  echo "cppcheck: $(echo $portable $win32 $tests $fuzz | wc -w) files clean ($((SECONDS - start)) s)"
fi
[ "$failed" -eq 0 ]
