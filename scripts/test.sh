#!/bin/sh
# Installs what is missing, builds with warnings as errors, and runs every test headless. Then
# builds again with AddressSanitizer and UBSan into build-asan and runs the tests there too,
# the slow ones excepted (TURNOVA_SANITIZER_RUN=0 leaves that run out).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" -DTURNOVA_WERROR=ON
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
# the Debian package: built and checked (installed and started on CI, see package-check.sh)
"$root/scripts/package-check.sh"
[ "${TURNOVA_SANITIZER_RUN:-1}" = 0 ] && exit 0
# unoptimised with line tables only: a third of the compile time, and stack traces with lines
TURNOVA_BUILD_DIR="$root/build-asan" "$root/scripts/build.sh" -DTURNOVA_WERROR=ON -DTURNOVA_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1"
cd "$root/build-asan"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -LE slow
