# Recipes: their values from the ingredients, kept with the foods they use.
nutrilo_add_test(test_recipes test_recipes.cpp)
nutrilo_add_server_run(test_recipes)
