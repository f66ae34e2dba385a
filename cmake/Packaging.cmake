# The Debian package: `cpack -G DEB` in the build folder. The libraries the program links
# are found by dpkg-shlibdeps; what it loads only at run time is listed by hand below.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nutrilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Nutrilo")
set(CPACK_PACKAGE_CONTACT "Nutrilo <info@nutrilo.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weekly diet planner with an Italian user interface")
# Lines of at most 80 characters, as Debian's control files want them.
set(CPACK_PACKAGE_DESCRIPTION
    "Nutrilo plans a person's weekly diet: seven days of 19 food slots in four\n\
meals, with the kilocalories of every slot, meal and day, a table of about 300\n\
foods, the people on a diet with their body metrics, the week printed or saved\n\
as RTF or PDF, and a nutrition summary of the week against the person's target\n\
with an A4 handout for the patient, saved as PDF or printed.\n\
A practice with several workstations can keep its data on a PostgreSQL server\n\
(nutrilo-db prepares, copies, backs up and restores the server database).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The debugging information stays in the build; the package gets the stripped programs,
# without the sections Debian strips too (.comment, .note), and with the permissions
# Debian wants whatever the umask of the build (directories and programs 0755, files 0644).
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageTree.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
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

# What a Debian package carries beside the program: the copyright (machine-readable), the
# changelog, the manual pages in English and Italian (compressed as Debian does: gzip -9n,
# so that the package is the same at every build), and lintian's overrides with reasons.
include(GNUInstallDirs)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(NUTRILO_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-docs)
set(package_docs ${NUTRILO_PACKAGE_DOCS}/changelog.gz)
add_custom_command(
    OUTPUT ${NUTRILO_PACKAGE_DOCS}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NUTRILO_PACKAGE_DOCS}
    COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/changelog >
            ${NUTRILO_PACKAGE_DOCS}/changelog.gz
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog
    COMMENT "Compressing the changelog")
foreach(lang en it)
    if(lang STREQUAL en)
        set(man_source ${CMAKE_SOURCE_DIR}/docs/man)
        set(man_destination ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        set(man_source ${CMAKE_SOURCE_DIR}/docs/man/${lang})
        set(man_destination ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
    endif()
    foreach(page nutrilo nutrilo-db)
        # The pages name the version of the package they come with.
        set(page_text ${NUTRILO_PACKAGE_DOCS}/man/${lang}/${page}.1)
        configure_file(${man_source}/${page}.1.in ${page_text} @ONLY)
        add_custom_command(
            OUTPUT ${page_text}.gz
            COMMAND ${GZIP_PROGRAM} -9nc ${page_text} > ${page_text}.gz
            DEPENDS ${page_text}
            COMMENT "Compressing the manual page ${lang}/${page}.1")
        list(APPEND package_docs ${page_text}.gz)
        install(FILES ${page_text}.gz DESTINATION ${man_destination})
    endforeach()
endforeach()
add_custom_target(package_docs ALL DEPENDS ${package_docs})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${NUTRILO_PACKAGE_DOCS}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/nutrilo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME nutrilo)

include(CPack)
