# The data-aware widgets (grid, edit, chooser) and the user management window.
nutrilo_add_test(test_widgets test_widgets.cpp LIBS nutrilo_widgets)
nutrilo_add_test(test_userwindow test_userwindow.cpp LIBS nutrilo_records)

# A picture of the window with a person and a photo (a program, not a test).
add_executable(users_screenshot users_screenshot.cpp)
target_link_libraries(users_screenshot PRIVATE nutrilo_records nutrilo_test_fixtures)

# Speed figures of the grid over 7,413 rows (printed, not a test).
add_executable(grid_benchmark grid_benchmark.cpp)
target_link_libraries(grid_benchmark PRIVATE nutrilo_widgets nutrilo_test_fixtures)

# A picture of the visits window with a person of several visits (a program, not a test).
add_executable(visits_screenshot visits_screenshot.cpp)
target_link_libraries(visits_screenshot PRIVATE nutrilo_records nutrilo_test_fixtures)
