#!/bin/sh
# Installs what is missing, builds with warnings as errors, and runs every test headless.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" -DTURNOVA_WERROR=ON
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
