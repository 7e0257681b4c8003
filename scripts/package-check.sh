#!/bin/sh
# Builds the Debian package from build/ (cpack -G DEB) and checks its dependencies and files with
# dpkg-deb. With TURNOVA_PACKAGE_INSTALL=1 (CI) the package is then installed with apt-get, the
# installed program is started in smoke mode on a temporary per-user folder, and the package is
# removed again, so the machine is left as it was for whatever runs next.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/build"
fail() { echo "package-check: $*" >&2; exit 1; }

rm -f turnova_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
deb=$(ls turnova_*_*.deb)
echo "package-check: $deb"

dpkg-deb --info "$deb" >/dev/null
[ "$(dpkg-deb --field "$deb" Package)" = turnova ] || fail "wrong package name"
depends=$(dpkg-deb --field "$deb" Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0 \
         qt6-qpa-plugins qt6-translations-l10n fonts-liberation; do
  echo "$depends" | tr ',' '\n' | grep -q "^ *$p\( \|$\)" || fail "Depends lacks $p: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in usr/bin/turnova usr/share/turnova/Handbuch.pdf \
         usr/share/turnova/std.Einstellungen.xml usr/share/turnova/std.Feiertage.xml \
         usr/share/turnova/std.GpZuordnung.xml usr/share/turnova/std.Gruppen.xml \
         usr/share/turnova/std.Mitarbeiter.xml usr/share/turnova/std.StdDienste.xml \
         usr/share/applications/de.karbeno.turnova.desktop \
         usr/share/metainfo/de.karbeno.turnova.metainfo.xml \
         usr/share/mime/packages/de.karbeno.turnova.xml \
         usr/share/icons/hicolor/scalable/apps/de.karbeno.turnova.svg \
         usr/share/icons/hicolor/48x48/apps/de.karbeno.turnova.png \
         usr/share/icons/hicolor/256x256/apps/de.karbeno.turnova.png; do
  echo "$contents" | grep -qx "\./$f" || fail "$f is missing from the package"
done
echo "$contents" | grep -v '^\./usr/' | grep -v '^\./$' && fail "files outside /usr"

[ "${TURNOVA_PACKAGE_INSTALL:-0}" = 1 ] || exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
was_installed=$(dpkg-query -W -f='${Status}' turnova 2>/dev/null | grep -c "install ok installed" || true)
$sudo apt-get install -y -q --no-install-recommends "./$deb"
tmp=$(mktemp -d)
cleanup() {
  rm -rf "$tmp"
  [ "$was_installed" = 1 ] || $sudo apt-get remove -y -q turnova >/dev/null
}
trap cleanup EXIT

/usr/bin/turnova --version | head -n 1 | grep -qx Turnova || fail "turnova --version"
QT_QPA_PLATFORM=offscreen TURNOVA_SMOKE_MS=500 TURNOVA_APPDATA="$tmp/Eigene Daten" \
  TURNOVA_DOCUMENTS="$tmp" /usr/bin/turnova 2>"$tmp/err" || { cat "$tmp/err"; fail "start"; }
grep -q "Soll die Datenbank neu erstellt werden" "$tmp/err" || { cat "$tmp/err"; fail "no database"; }
grep -q "Es ist ein Fehler" "$tmp/err" && { cat "$tmp/err"; fail "error at start"; }
# the sample employees of the standard files are in the new database
grep -aq "Clara" "$tmp/Eigene Daten/Turnova/daten.tnv" || fail "no sample employees"
echo "package-check: installed and started"
