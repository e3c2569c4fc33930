# Saved memory files: line format, whole-file checks and restore plan, save with backup
# (including disk failures and interrupted saves), and the start-up upgrade.
vardo_add_test(unit_files_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_format_test.cpp LIBS vardo_files)
vardo_add_test(unit_files_load SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_load_test.cpp LIBS vardo_files)
