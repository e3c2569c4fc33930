# Saved memory files: the line format, restore plan, save with backup and the upgrade, then
# disk failures and interrupted saves run through files_savetool in another process.
vardo_add_test(unit_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_test.cpp LIBS vardo_files)
add_executable(files_savetool ${CMAKE_CURRENT_LIST_DIR}/files_savetool.cpp)
target_link_libraries(files_savetool PRIVATE vardo_files)
set_target_properties(files_savetool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
vardo_add_test(unit_files_failures SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_failures_test.cpp LIBS Qt6::Core)
add_dependencies(unit_files_failures files_savetool)
