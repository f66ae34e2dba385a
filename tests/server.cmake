# The server database of a practice: where the application finds it, start-up failures on
# it, the administration tool nutrilo-db.
nutrilo_add_test(test_server_store test_server_store.cpp LIBS nutrilo_app)
set_property(TEST test_server_store APPEND PROPERTY ENVIRONMENT "NUTRILO_DB_TOOL=$<TARGET_FILE:nutrilo-db>")
add_dependencies(test_server_store nutrilo-db)
# A server that goes away during a session and comes back, exit while it is away, and one
# that does not answer at start-up. It stops and starts the test server: nothing else runs
# meanwhile.
add_executable(test_server_return test_server_return.cpp)
target_link_libraries(test_server_return PRIVATE nutrilo_app nutrilo_planner_fixtures)
nutrilo_add_server_run(test_server_return)
set_tests_properties(test_server_return_postgresql PROPERTIES RUN_SERIAL TRUE)
