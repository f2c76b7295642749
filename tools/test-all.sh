#!/usr/bin/env bash
# test-all.sh - sets up a fresh Debian 12 machine (as root: packages, locale, Wine prefix) and
# runs every test: the native build, the native build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows build under Wine in a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n== %s\n' "$*"; }
# CMake reads the compiler's verbose output to find its library folders, and misreads it when
# the temporary folder's name holds a quote; the builds are configured without TMPDIR, the
# tests run with the caller's.
configure() { env -u TMPDIR cmake "$@" >/dev/null; }

step "native packages"
bash tools/setup-native.sh

step "format check"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

step "native build (Release) and tests"
configure -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_WERROR=ON
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

step "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
configure -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMSEL_SANITIZE=ON -DTAMSEL_WERROR=ON
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

step "ThreadSanitizer build: the job and the cancel stress test"
configure -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_TSAN=ON -DTAMSEL_WERROR=ON
cmake --build build/tsan -j "$jobs" --target job_tests stress_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -R 'job_tests|stress_tests'

step "Windows toolchain and Wine"
bash tools/setup-windows-toolchain.sh

step "Windows build and tests under Wine"
configure -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-x86_64.cmake -DTAMSEL_WERROR=ON
cmake --build build/win -j "$jobs"
bash tools/with-xvfb-wine.sh ctest --test-dir build/win --output-on-failure

step "all tests passed"
