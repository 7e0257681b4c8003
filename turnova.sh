#!/bin/sh
# Installs what is missing, builds the program, and starts Turnova on its default database in the
# per-user folder (~/.local/share/Turnova/daten.tnv); a path given as argument names another
# database.
set -e
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target turnova -j"$(nproc)"
exec "$root/build/app/turnova" "$@"
