#!/usr/bin/env bash
# cli-vs-tr.sh [MEGABYTES] - a whole conversion by tamsel-cli (reading the file, converting,
# writing C_<name> in full, flushed, then renamed) timed against one tr table pass that writes
# the same number of bytes to a file in the same folder, in paired runs (hyperfine), with and
# without the CMX export; then the peak memory of each conversion. Needs hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes="${1:-8}"
cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF >/dev/null
cmake --build build/rel --target tamsel-bench tamsel-cli >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/rel/bench/tamsel-bench --write "$work/BENCH.EDL" "$megabytes"
cli=$PWD/build/rel/cli/tamsel-cli
hyperfine -N -w 3 -r 20 \
  "$cli -o $work $work/BENCH.EDL" \
  "$cli --cmx -o $work $work/BENCH.EDL" \
  "sh -c 'tr abc xyz < $work/BENCH.EDL > $work/tr.out'"
for options in "" "--cmx"; do
  /usr/bin/time -f "tamsel-cli $options: peak %M KB for a $megabytes MB file" \
    "$cli" $options -o "$work" "$work/BENCH.EDL" >/dev/null 2>"$work/time.txt" || true
  tail -1 "$work/time.txt"
done
