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

# vardo_add_fuzzer(NAME SOURCES ... INCLUDES ...)
# A libFuzzer target compiled by clang++ directly (the main build may use any compiler), its
# sources instrumented with the address and undefined-behaviour sanitizers, and a short bounded
# run in ctest. A finding leaves its input in the build's tests folder.
function(vardo_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;INCLUDES" ${ARGN})
  find_program(VARDO_CLANGXX NAMES clang++ clang++-14)
  if(NOT VARDO_CLANGXX)
    message(STATUS "VARDO_FUZZ: no clang++ found, ${name} left out")
    return()
  endif()
  set(binary ${CMAKE_BINARY_DIR}/tests/${name})
  set(qt_includes "$<TARGET_PROPERTY:Qt6::Core,INTERFACE_INCLUDE_DIRECTORIES>")
  set(support ${CMAKE_SOURCE_DIR}/tests/support)
  add_custom_command(OUTPUT ${binary}
    COMMAND ${VARDO_CLANGXX} -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
      "-I$<JOIN:${F_INCLUDES},;-I>" -I${support} "-I$<JOIN:${qt_includes},;-I>"
      ${F_SOURCES} $<TARGET_FILE:Qt6::Core> -Wl,-rpath,$<TARGET_FILE_DIR:Qt6::Core> -o ${binary}
    DEPENDS ${F_SOURCES} ${support}/framecheck.h ${support}/hexroute.h
    COMMAND_EXPAND_LISTS
    COMMENT "Building libFuzzer target ${name} with clang")
  add_custom_target(${name} ALL DEPENDS ${binary})
  add_test(NAME ${name} COMMAND ${binary} -max_total_time=20 -rss_limit_mb=2048
    -artifact_prefix=${CMAKE_BINARY_DIR}/tests/ -print_final_stats=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
