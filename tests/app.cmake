# The application shell: start-up, main window frame, exit, context help; message dialog.
nutrilo_add_test(test_app test_app.cpp LIBS nutrilo_app)
nutrilo_add_test(test_app_dialog test_app_dialog.cpp LIBS nutrilo_app)
nutrilo_add_test(test_app_keys test_app_keys.cpp LIBS nutrilo_app)
# The shortcut check once more under the Linux desktops' own key schemes, where Ctrl+U
# deletes a line and Ctrl+R refreshes, on a virtual X display when xvfb-run is installed.
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
    foreach(scheme gnome kde)
        add_test(NAME test_app_keys_${scheme}
                 COMMAND ${XVFB_RUN} -a $<TARGET_FILE:test_app_keys> noShortcutShadowsAStandardKey)
        set_tests_properties(test_app_keys_${scheme} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_QPA_PLATFORMTHEME=${scheme};LC_ALL=C.UTF-8;NUTRILO_SOURCE_DIR=${CMAKE_SOURCE_DIR};NUTRILO_SHIPPED_DIR=${NUTRILO_SHIPPED_DIR}"
            RESOURCE_LOCK xvfb
            TIMEOUT 300)
    endforeach()
endif()
