#!/bin/sh
# Installs the Debian packages Turnova needs to build, run and test, when they are missing.
set -e
packages="g++ cmake make qt6-base-dev qt6-translations-l10n libsqlite3-dev libgl-dev poppler-utils"
# the stock sqlite3 tool: the tests check that it can check, compact and recover our files
packages="$packages sqlite3"
# the iCalendar export of the duties
packages="$packages libical-dev pkg-config"
# installing and packaging: desktop checks, the package's run-time dependencies, cpack's tools
packages="$packages desktop-file-utils appstream shared-mime-info dpkg-dev file qt6-qpa-plugins fonts-liberation"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q || true
$sudo apt-get install -y -q --no-install-recommends $missing
