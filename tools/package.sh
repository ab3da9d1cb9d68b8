#!/bin/bash
# tools/package.sh [binary-dir]
#
# Packs a Windows build (default build/windows, the product) with cpack into
# its ZIP and checks what a user unpacks: a 32-bit GUI program carrying the
# version record, the README, and the user guide in Chinese in the form that
# Notepad on any Windows opens correctly (UTF-8 with a byte-order mark, CRLF).
# Where 32-bit Wine runs, the packaged program is also started: with the
# shipped update address out of reach it must stand at its first message box
# (the update path) rather than end.
set -euo pipefail
cd "$(dirname "$0")/.."
bindir=$(cd "${1:-build/windows}" && pwd)

fail() { echo "package: $*" >&2; exit 1; }

(cd "$bindir" && cpack -G ZIP -B "$bindir/package" >/dev/null)
zip=$(ls "$bindir"/package/Kestrune-*.zip)
echo "package: $zip"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
exe=$(find "$unpacked" -name Kestrune.exe)
[ -n "$exe" ] || fail "no Kestrune.exe in the package"
[ -n "$(find "$unpacked" -name README.md)" ] || fail "no README.md in the package"

guide=$(find "$unpacked" -name '使用说明.txt')
[ -n "$guide" ] || fail "no 使用说明.txt in the package"
[ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "使用说明.txt does not start with the UTF-8 byte-order mark"
iconv -f UTF-8 -t UTF-8 "$guide" >/dev/null 2>&1 || fail "使用说明.txt is not valid UTF-8"
# Every line feed comes after a carriage return, and no carriage return stands alone.
lf=$(tr -cd '\n' <"$guide" | wc -c)
cr=$(tr -cd '\r' <"$guide" | wc -c)
crlf=$(grep -c $'\r$' "$guide" || true)
if [ "$lf" -eq 0 ] || [ "$crlf" -ne "$lf" ] || [ "$cr" -ne "$lf" ]; then
    fail "使用说明.txt has line ends other than CRLF ($lf LF, $cr CR, $crlf CRLF)"
fi
# Without the ZIP's UTF-8 flag on its name, Windows reads the name in the
# local code page and shows it garbled.
python3 - "$zip" <<'PY' || fail "the ZIP does not mark the name 使用说明.txt as UTF-8"
import sys, zipfile
names = [i for i in zipfile.ZipFile(sys.argv[1]).infolist() if i.filename.endswith("使用说明.txt")]
sys.exit(0 if names and all(i.flag_bits & 0x800 for i in names) else 1)
PY
echo "package: 使用说明.txt: UTF-8 with a byte-order mark, $lf lines ending in CRLF, its name marked UTF-8"

kind=$(file -b "$exe")
case $kind in
    "PE32 executable (GUI) Intel 80386"*) ;;
    *) fail "Kestrune.exe is not a 32-bit GUI program: $kind" ;;
esac
# The version record's strings are UTF-16.
for s in Kestrune Orlavi 1.0.0.0; do
    strings -el "$exe" | grep -qF "$s" || fail "the version record lacks \"$s\""
done
echo "package: $kind, version record with Kestrune, Orlavi, 1.0.0.0"

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "package: not started: no 32-bit Wine here (this kernel runs no 32-bit programs)"
    exit 0
fi
tools/wine/session start "$bindir"
tools/wine/run "$bindir" "$exe" &
program=$!
sleep 3  # the update check fails at once without a network; its box holds the program
if kill -0 "$program" 2>/dev/null; then
    kill "$program"
    status=0
else
    status=1
fi
tools/wine/session stop "$bindir"
[ $status -eq 0 ] || fail "the packaged program ended within 3 s instead of showing its first box"
echo "package: the packaged program starts under Wine"
