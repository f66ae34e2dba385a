# The desktop integration: validators, launcher, installed tree (needs desktop-file-utils
# and appstream).
add_test(NAME test_desktop
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/desktop_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(test_desktop PROPERTIES TIMEOUT 300)
