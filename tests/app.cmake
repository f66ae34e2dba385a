# The application shell: start-up, main window frame, exit, context help; message dialog.
nutrilo_add_test(test_app test_app.cpp LIBS nutrilo_app)
nutrilo_add_test(test_app_dialog test_app_dialog.cpp LIBS nutrilo_app)
nutrilo_add_test(test_app_keys test_app_keys.cpp LIBS nutrilo_app)
