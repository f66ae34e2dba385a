# Two programs on one database file: conflicting writes, one menu row per slot, opening
# a damaged file, values stored as held.
nutrilo_add_test(test_conflicts test_conflicts.cpp LIBS nutrilo_planner_fixtures)
nutrilo_add_server_run(test_conflicts)
