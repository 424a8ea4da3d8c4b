#!/usr/bin/env bash
# Installs from Debian's packages what one purpose needs and the machine lacks:
#   build  the library and the programs (scripts/demo.sh)
#   test   build, and GoogleTest, pytest and Qt 6 for the tests and the dialogs (scripts/test.sh)
#   ci     test, and clang with its sanitizer and fuzzer runtimes, Google Benchmark, pkg-config
#          for the install check, dpkg-dev and file for the Debian package (.ci/run)
#   bench  ci, and libmodbus and strace for the benchmark comparison (scripts/bench-compare.sh)
# usage: scripts/install-deps.sh [build|test|ci|bench]   (default: ci)
set -euo pipefail
build=(cmake ninja-build g++ python3)  # python3 turns the command catalogue into code
# Qt 6 for libkelcmd-dialogs; its offscreen platform plugin and fonts for the headless dialog tests
# and snapshots.
# Mosquitto (broker, clients, library, found with pkg-config), nlohmann-json and paho-mqtt for the
# bridge and the remote ports, openssl for the TLS tests' throw-away certificates; Doxygen, Sphinx
# and mypy for the references and the Python package's checks.
test=("${build[@]}" libgtest-dev libgmock-dev googletest python3-pytest qt6-base-dev
      qt6-qpa-plugins fonts-liberation mosquitto mosquitto-clients libmosquitto-dev pkgconf
      python3-paho-mqtt nlohmann-json3-dev openssl doxygen python3-sphinx mypy)
ci=("${test[@]}" clang libclang-rt-14-dev libbenchmark-dev pkgconf dpkg-dev file)
# Only for the benchmark comparison (scripts/bench-compare.sh): libmodbus's RTU master and strace.
bench=("${ci[@]}" libmodbus-dev strace)
case "${1:-ci}" in
build) packages=("${build[@]}") ;;
test) packages=("${test[@]}") ;;
ci) packages=("${ci[@]}") ;;
bench) packages=("${bench[@]}") ;;
*)
    echo "usage: $0 [build|test|ci|bench]" >&2
    exit 2
    ;;
esac
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
