# The test programs' own main: an escaping exception is reported as a failure, with its
# message, and the program exits with a failing code instead of aborting.
nutrilo_add_test(test_main_exception test_main_exception.cpp)
set_tests_properties(test_main_exception PROPERTIES
    PASS_REGULAR_EXPRESSION "uncaught exception: Immagine non leggibile: prova")
