# The views' tables, view family and click rules, without windows.
vardo_add_test(ui_views_tables SOURCES ${CMAKE_CURRENT_LIST_DIR}/views_tables_test.cpp LIBS vardo_tables)
