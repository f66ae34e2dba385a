# The food management window and its pie chart.
nutrilo_add_test(test_piechart test_piechart.cpp LIBS nutrilo_records)
nutrilo_add_test(test_foodwindow test_foodwindow.cpp LIBS nutrilo_records)
