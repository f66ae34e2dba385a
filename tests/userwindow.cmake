# The data-aware widgets (grid, edit, chooser) and the user management window.
nutrilo_add_test(test_widgets test_widgets.cpp LIBS nutrilo_widgets)
nutrilo_add_test(test_userwindow test_userwindow.cpp LIBS nutrilo_records)
