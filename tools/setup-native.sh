#!/usr/bin/env bash
# setup-native.sh - installs what the native build and its tests need on Debian 12, when it is
# missing: compilers, CMake, Ninja, GoogleTest, clang-format. Idempotent and non-interactive;
# installing needs root, a machine that has everything needs nothing.
set -euo pipefail

PACKAGES=(g++ make cmake ninja-build libgtest-dev googletest clang clang-format libclang-rt-14-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0
if [[ $(id -u) -ne 0 ]]; then
  echo "setup-native: missing packages: ${missing[*]}; run as root" >&2
  exit 1
fi
echo "setup-native: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
