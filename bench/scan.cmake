# The scan figure: time per quiet channel against the specified 0.25 s plus wire time, and
# the process CPU over wall time while scanning.
add_executable(bench_scan ${CMAKE_CURRENT_LIST_DIR}/bench_scan.cpp)
target_link_libraries(bench_scan PRIVATE vardo_radio vardo_simcore Qt6::Core)
