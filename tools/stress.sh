#!/usr/bin/env bash
# stress.sh [ROUNDS] - the long mode of the cancel stress test: a job of 320 files stopped at
# chosen points ROUNDS times (default 500), under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-native.sh
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_TSAN=ON >/dev/null
cmake --build build/tsan --target stress_tests
cd tests
TAMSEL_STRESS_ROUNDS="${1:-500}" TSAN_OPTIONS=halt_on_error=1 ../build/tsan/tests/stress_tests
