# The Debian package: built by CPack from the installed tree, then checked by lintian
# (needs dpkg-dev and lintian, which scripts/install.sh installs).
add_test(NAME test_package
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/package_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
                 ${PROJECT_VERSION})
set_tests_properties(test_package PROPERTIES TIMEOUT 900)
