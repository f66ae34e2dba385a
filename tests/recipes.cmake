# Recipes: their values from the ingredients, kept with the foods they use.
nutrilo_add_test(test_recipes test_recipes.cpp LIBS nutrilo_report nutrilo_planner_fixtures)
nutrilo_add_server_run(test_recipes)
# The shipped recipes: their ingredients are shipped foods, and the shipped database holds
# them with the values the application computes.
add_dependencies(test_recipes shipped_database)
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
    add_test(NAME check_shipped_recipes
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/data/check_recipes.py)
endif()
