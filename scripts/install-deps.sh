#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and the machine lacks.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev)
# Only for the benchmark comparison (scripts/bench-compare.sh): libmodbus's RTU master and strace.
packages+=(libmodbus-dev pkg-config strace)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
