#!/usr/bin/env bash
# Builds the Debian packages of a configured and built tree with CPack: kelcmd (library, headers,
# CMake and pkg-config files, kelcmd and kelbus-sim), where the dialogs library was built,
# kelcmd-dialogs, and where libmosquitto was found, kelcmd-bridge. Prints the path of each package made.
# usage: scripts/package-deb.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
targets=(kelcmd kelcmd_app kelbus_sim)
# The bridge (and the remote ports' plugin) where libmosquitto made them part of the build.
for optional in kelcmd_bridge kelcmd_remote; do
  if cmake --build "$build" --target help | grep -q "^$optional:"; then targets+=("$optional"); fi
done
cmake --build "$build" --target "${targets[@]}" >/dev/null
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; exit 1; }
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$build/cpack.log"
