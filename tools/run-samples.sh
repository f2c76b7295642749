#!/usr/bin/env bash
# run-samples.sh - sets up a fresh Debian 12 machine, builds tamsel-cli and converts the bundled
# sample EDLs into out/samples/, then shows what it produced.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-native.sh
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target tamsel-cli

rm -rf out/samples
mkdir -p out/samples
echo "== tamsel-cli -o out/samples samples/*.EDL"
# Some samples are refused on purpose (a CMX file, a file without event lines): exit status 1.
status=0
build/native/cli/tamsel-cli -o out/samples samples/*.EDL || status=$?
echo "== exit status $status; produced in out/samples:"
ls -l out/samples
# The outputs keep the sources' Shift-JIS notes; they are shown here converted for a UTF-8
# terminal (bytes that are not Shift-JIS are left out of the display, not of the files).
for f in out/samples/C_*; do
  echo "== $f"
  iconv -f CP932 -t UTF-8 -c "$f" | tr -d '\r'
done
