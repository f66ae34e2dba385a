# A person's plans over time and the templates: kept, opened, applied, renamed, deleted.
nutrilo_add_test(test_plans test_plans.cpp LIBS nutrilo_planner_fixtures nutrilo_records nutrilo_report)
nutrilo_add_server_run(test_plans)

# Pictures of the plan chooser and of the templates window (a program, not a test).
add_executable(plans_screenshot plans_screenshot.cpp)
target_link_libraries(plans_screenshot PRIVATE nutrilo_app nutrilo_test_fixtures)
