#!/bin/bash
# bash tools/run.sh [--demo]
#
# Kestrune beside the practice target under Wine, with its update page served
# from tools/update-site/ on loopback, so that it can be tried safely.
#
# With a display ($DISPLAY) and no --demo it is interactive: the programs
# come up on that display, in a Wine prefix of their own
# (<build>/run-prefix), and everything is stopped when Kestrune ends or on
# Ctrl+C. Without a display, or with --demo, a scripted session plays on a
# virtual display (tools/wine/session) and leaves its screenshots and the
# practice target's transcript in build/demo/.
#
# The build directory is build/<preset> unless KESTRUNE_BUILD_DIR names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

demo=
case ${1:-} in
    --demo) demo=yes ;;
    "") ;;
    *) echo "usage: $0 [--demo]" >&2; exit 2 ;;
esac
[ -n "${DISPLAY:-}" ] || demo=yes

step() { printf '\n=== %s\n' "$*"; }

step "packages"
tools/install-deps.sh

# The product is the 32-bit program; where the kernel runs no 32-bit
# programs (and so no 32-bit Wine), the 64-bit build of the same sources.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=windows; else preset=windows-x64; fi
bindir=${KESTRUNE_BUILD_DIR:-$root/build/$preset}
mkdir -p "$bindir"
bindir=$(cd "$bindir" && pwd)

step "$preset: building in $bindir"
cmake --preset "$preset" -B "$bindir" >/dev/null
targets=(Kestrune_e2e PracticeTarget)
[ -z "$demo" ] || targets+=(e2e_tests)
cmake --build "$bindir" -j2 --target "${targets[@]}"
# The program fetches its page from 127.0.0.1 on this port.
port=$(sed -n 's/^KESTRUNE_E2E_PORT:[A-Z]*=//p' "$bindir/CMakeCache.txt")

if [ -n "$demo" ]; then
    out=$root/build/demo
    step "demo on a virtual display: $out"
    rm -rf "$out"
    mkdir -p "$out"
    tools/wine/session start "$bindir"
    trap 'tools/wine/session stop "$bindir"' EXIT
    KESTRUNE_DEMO_DIR=$out timeout 180 tools/wine/run "$bindir" "$bindir/tests/e2e/e2e_tests.exe" \
        '--gtest_filter=Demo.*'
    shopt -s nullglob
    shots=("$out"/*.bmp)
    if [ ${#shots[@]} -eq 0 ]; then
        echo "the demo left no screenshots" >&2
        exit 1
    fi
    for bmp in "${shots[@]}"; do
        convert "$bmp" "${bmp%.bmp}.png"
        rm "$bmp"
    done
    step "done"
    ls -1 "$out"/*.png "$out"/transcript.txt
    exit 0
fi

step "interactive on $DISPLAY"
export WINEPREFIX=$bindir/run-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineserver=/usr/lib/wine/wineserver64
# A 64-bit program needs the 64-bit loader.
loader_for() {
    case $(file -b "$1") in
        PE32+*) echo /usr/lib/wine/wine64 ;;
        *) echo /usr/lib/wine/wine ;;
    esac
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Made the way the test session makes its own (one 800x600 desktop with
# Windows' frames), and with nothing of its making left running.
tools/wine/prefix "$WINEPREFIX"

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "port $port on 127.0.0.1 is taken (end-to-end tests running?); try again later" >&2
    exit 1
fi

server_pid= target_pid=
cleanup() {
    trap - EXIT INT TERM
    [ -z "$target_pid" ] || kill "$target_pid" 2>/dev/null || true
    [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
    # The prefix is this script's own: whatever still runs in it goes too.
    timeout 20 "$wineserver" -k 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 -m http.server "$port" --bind 127.0.0.1 --directory tools/update-site >"$bindir/run-server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done

transcript=$bindir/run-transcript.txt
practice=$bindir/practice_target/PracticeTarget.exe
env LC_ALL=zh_CN.UTF-8 "$(loader_for "$practice")" "$practice" "$(windows_path "$transcript")" \
    </dev/null >/dev/null 2>&1 &
target_pid=$!

kestrune=$bindir/e2e/Kestrune.exe
echo "Kestrune is starting: answer Yes, rest the pointer on the practice window's input box and"
echo "press F2, then F2 over its Send button, and click 开始发送消息. Close Kestrune to end."
# Waited for in the background: Wine ignores Ctrl+C in a window program, and
# bash runs a trap only once a foreground command has ended.
env LC_ALL=zh_CN.UTF-8 "$(loader_for "$kestrune")" "$kestrune" </dev/null &
status=0
wait $! || status=$?
echo "Kestrune ended with exit code $status; what the practice target received: $transcript"
