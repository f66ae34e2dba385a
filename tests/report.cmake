# The diet report, its preview, the RTF writer and printing.
nutrilo_add_test(test_report test_report.cpp LIBS nutrilo_report)
nutrilo_add_test(test_report_preview test_report_preview.cpp LIBS nutrilo_report)
