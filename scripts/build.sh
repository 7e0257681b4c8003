#!/bin/sh
# Configures and builds Turnova into build/ (Release with debug info), or into the folder in
# TURNOVA_BUILD_DIR. Extra arguments go to cmake.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TURNOVA_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
