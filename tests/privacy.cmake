# The patients' records: private files, passwords never shown, daily backups, the tool's
# backup and restore, sources only read.
nutrilo_add_test(test_privacy test_privacy.cpp LIBS nutrilo_app)
nutrilo_add_server_run(test_privacy)
set_property(TEST test_privacy test_privacy_postgresql APPEND PROPERTY ENVIRONMENT
             "NUTRILO_DB_TOOL=$<TARGET_FILE:nutrilo-db>")
add_dependencies(test_privacy nutrilo-db)
