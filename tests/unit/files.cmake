# Saved memory files: line format, whole-file checks and restore plan, save with backup
# (including disk failures and interrupted saves), and the start-up upgrade.
vardo_add_test(unit_files_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_format_test.cpp LIBS vardo_files)
vardo_add_test(unit_files_load SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_load_test.cpp LIBS vardo_files)

add_executable(files_savetool ${CMAKE_CURRENT_LIST_DIR}/files_savetool.cpp)
target_link_libraries(files_savetool PRIVATE vardo_files)
set_target_properties(files_savetool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
vardo_add_test(unit_files_save SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_save_test.cpp LIBS vardo_files)
vardo_add_test(unit_files_upgrade SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_upgrade_test.cpp LIBS vardo_files)
vardo_add_test(unit_files_failures SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_failures_test.cpp LIBS Qt6::Core)
add_dependencies(unit_files_failures files_savetool)
