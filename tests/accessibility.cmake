# What a screen reader finds in every window: a name for every control, and the names,
# descriptions and roles that say what each control is and where.
nutrilo_add_test(test_accessibility test_accessibility.cpp LIBS nutrilo_app)
