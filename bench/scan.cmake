# bench-scan: time per quiet channel of the memory scan against 0.25 s plus wire time, and
# the process CPU over wall time while scanning, on the emulator paced like the real line.
add_executable(bench-scan ${CMAKE_CURRENT_LIST_DIR}/bench_scan.cpp)
target_link_libraries(bench-scan PRIVATE vardo_radio vardo_simcore Qt6::Core)
# Only that it runs and prints its figures, on a short range.
add_test(NAME bench_scan_prints COMMAND bench-scan --channels 3)
set_tests_properties(bench_scan_prints PROPERTIES TIMEOUT 120
  PASS_REGULAR_EXPRESSION "scan channel/bound=[0-9.]+ cpu/wall=[0-9.]+")
