#!/bin/sh
# Installs what is missing, builds, and starts Turnova on its default database in the per-user
# folder (~/.local/share/Turnova/daten.tnv); a path given as argument names another database.
set -e
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/build.sh"
exec "$root/build/app/turnova" "$@"
