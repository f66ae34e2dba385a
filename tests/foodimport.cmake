# A food composition table loaded from a CSV file (nutrilo-db import-foods): reading,
# checking, and the one transaction that writes it, on the file and on the server.
nutrilo_add_test(test_foodimport test_foodimport.cpp)
nutrilo_add_server_run(test_foodimport)
