# vardo_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [WIDGETS])
# One QtTest executable per area, registered with ctest; widget tests run offscreen.
function(vardo_add_test name)
  cmake_parse_arguments(T "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VARDO_BIN=${CMAKE_BINARY_DIR}/bin;VARDO_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()
