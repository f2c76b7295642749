#!/usr/bin/env bash
# fuzz.sh [SECONDS] - builds the conversion's fuzz target with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, runs it for SECONDS (default 600) from the
# seed corpus (fuzz/corpus, the samples, the golden outputs), then merges what it found that
# covers new code into fuzz/corpus, which every test run replays. A crash leaves its input in
# build/fuzz/crash-*: turn it into a named regression test before anything else.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"

bash tools/setup-native.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAMSEL_FUZZ=ON -DTAMSEL_TESTS=OFF >/dev/null
cmake --build build/fuzz --target convert_fuzzer

work=build/fuzz/work
mkdir -p "$work"
fuzzer=build/fuzz/fuzz/convert_fuzzer
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$work" fuzz/corpus samples tests/golden
"$fuzzer" -merge=1 -max_len=8192 fuzz/corpus "$work" 2>&1 | tail -n 1
echo "fuzz/corpus now holds $(ls fuzz/corpus | wc -l) inputs"
