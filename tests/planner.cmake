# The weekly planner: the grid, its arithmetic, loading and saving a person's week.
# The frame of the main window as the planner expects it, for every test that needs a grid.
add_library(nutrilo_planner_fixtures STATIC
    fixtures/PlannerFixture.cpp fixtures/PlannerFixture.h)
target_include_directories(nutrilo_planner_fixtures PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/fixtures)
target_link_libraries(nutrilo_planner_fixtures PUBLIC nutrilo_planner nutrilo_test_fixtures)

nutrilo_add_test(test_planner_grid test_planner_grid.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_test(test_planner_menu test_planner_menu.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_server_run(test_planner_menu)
nutrilo_add_test(test_planner_pictures test_planner_pictures.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_test(test_planner_copy test_planner_copy.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_test(test_planner_model test_planner_model.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_server_run(test_planner_model)
nutrilo_add_test(test_equivalents test_equivalents.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_server_run(test_equivalents)

# A picture of the equivalents dialog with its alternatives (a program, not a test).
add_executable(equivalents_screenshot equivalents_screenshot.cpp)
target_link_libraries(equivalents_screenshot PRIVATE nutrilo_planner_fixtures)
