# The Debian package: `cpack -G DEB` in the build folder. The libraries the program links
# are found by dpkg-shlibdeps; what it loads only at run time is listed by hand below.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nutrilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Nutrilo")
set(CPACK_PACKAGE_CONTACT "Nutrilo <info@nutrilo.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weekly diet planner with an Italian user interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Nutrilo plans a person's weekly diet: seven days of 19 food slots in four meals,\n\
with the kilocalories of every slot, meal and day, a table of about 300 foods, the\n\
people on a diet with their body metrics, the week printed or saved as RTF, and a\n\
nutrition summary of the week against the person's target with a PDF handout.\n\
A practice with several workstations can keep its data on a PostgreSQL server\n\
(nutrilo-db prepares the server database).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The debugging information stays in the build; the package gets the stripped program.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.nutrilo.it/")
# Computed: the packages of every shared library the installed program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps:
# - libqt6sql6-sqlite: Qt's SQLite driver plugin, which opens the database file;
# - fonts-urw-base35: Nimbus Roman, the metric stand-in for the report's Times New Roman.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-urw-base35")
# - sound-theme-freedesktop: the sounds of the message dialog's kinds, played by name;
# - qt6-translations-l10n: Qt's own dialogs (files, printing) in Italian.
# The PostgreSQL driver plugin is loaded only for a server database.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "sound-theme-freedesktop, qt6-translations-l10n, libqt6sql6-psql")
include(CPack)
