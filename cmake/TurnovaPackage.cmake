# The Debian package: `cpack -G DEB` in the build folder writes turnova_<version>_<arch>.deb with
# what `cmake --install` puts under /usr. Its dependencies are the libraries the program links
# (found by dpkg-shlibdeps, Debian package dpkg-dev) and what it needs beside them at run time:
# Qt's platform plugins, Qt's German translations and the fonts metric-compatible with those the
# print layout names (Arial, Times New Roman, Courier New).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME turnova)
set(CPACK_PACKAGE_VENDOR "Karbeno Software")
set(CPACK_PACKAGE_CONTACT "Karbeno Software <info@karbeno.de>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.karbeno.de/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Monatliche Dienstpläne für Pflege, Klinik und Feuerwehr")
set(CPACK_PACKAGE_DESCRIPTION
    "Turnova stellt die monatlichen Dienstpläne für Pflegeheime, Kliniken und Feuerwehren auf \
und rechnet für jeden Mitarbeiter Stunden, Sollstunden, Übertrag, Urlaubs- und Krankheitstage \
aus. Alle Daten liegen in einer SQLite-Datei.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation")
# opening the manual and HTML pages goes through xdg-open; Wayland sessions use Qt's own plugin
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
include(CPack)
