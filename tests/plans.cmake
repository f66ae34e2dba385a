# A person's plans over time and the templates: kept, opened, applied, renamed, deleted.
nutrilo_add_test(test_plans test_plans.cpp LIBS nutrilo_planner_fixtures nutrilo_records nutrilo_report)
nutrilo_add_server_run(test_plans)
