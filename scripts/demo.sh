#!/usr/bin/env bash
# Builds the library and the kelcmd program (not the tests: their packages are not needed here),
# then runs the demo against the built-in simulated unit.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELCMD_BUILD_TESTS=OFF -DKELCMD_BUILD_DIALOGS=OFF
cmake --build build -j "$(nproc)" --target kelcmd_app
./build/apps/kelcmd/kelcmd demo
