# The food management window and its pie chart.
nutrilo_add_test(test_piechart test_piechart.cpp LIBS nutrilo_records)
nutrilo_add_test(test_foodwindow test_foodwindow.cpp LIBS nutrilo_records)
nutrilo_add_server_run(test_foodwindow)

# A picture of the window with a food selected (a program, not a test).
add_executable(foods_screenshot test_foodwindow_screenshot.cpp)
target_link_libraries(foods_screenshot PRIVATE nutrilo_records nutrilo_test_fixtures)
