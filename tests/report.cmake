# The diet report, its preview, the RTF writer and printing.
nutrilo_add_test(test_report test_report.cpp LIBS nutrilo_report)
nutrilo_add_test(test_report_preview test_report_preview.cpp LIBS nutrilo_report)
# The nutrition summary: its arithmetic, charts, window and handout.
nutrilo_add_test(test_summary test_summary.cpp LIBS nutrilo_report nutrilo_planner_fixtures)

# Pictures of the summary window and its handout (a program, not a test).
add_executable(summary_screenshot summary_screenshot.cpp)
target_link_libraries(summary_screenshot PRIVATE nutrilo_report nutrilo_planner_fixtures)
target_compile_definitions(summary_screenshot PRIVATE NUTRILO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The shopping list: its arithmetic, window and PDF.
nutrilo_add_test(test_shopping test_shopping.cpp LIBS nutrilo_report nutrilo_planner_fixtures)
