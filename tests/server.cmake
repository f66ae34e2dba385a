# The server database of a practice: where the application finds it, start-up failures on
# it, the administration tool nutrilo-db.
nutrilo_add_test(test_server_store test_server_store.cpp LIBS nutrilo_app)
set_property(TEST test_server_store APPEND PROPERTY ENVIRONMENT "NUTRILO_DB_TOOL=$<TARGET_FILE:nutrilo-db>")
add_dependencies(test_server_store nutrilo-db)
