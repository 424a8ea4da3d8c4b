#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and the machine lacks.
set -euo pipefail
# Qt 6 for libkelcmd-dialogs; its offscreen platform plugin and fonts for the headless dialog tests
# and snapshots.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev qt6-base-dev qt6-qpa-plugins fonts-liberation)
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
