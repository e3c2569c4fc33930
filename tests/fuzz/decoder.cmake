# libFuzzer target for the record decoder, compiled by clang++ directly (the main build may
# use any compiler) with the codec sources instrumented too.
if(VARDO_FUZZ)
  find_program(VARDO_CLANGXX NAMES clang++ clang++-14)
  if(NOT VARDO_CLANGXX)
    message(STATUS "VARDO_FUZZ: no clang++ found, fuzz_decoder left out")
  else()
    get_target_property(codec_sources vardo_codec SOURCES)
    get_target_property(codec_includes vardo_codec INCLUDE_DIRECTORIES)
    set(support ${CMAKE_SOURCE_DIR}/tests/support)
    set(qt_includes "$<TARGET_PROPERTY:Qt6::Core,INTERFACE_INCLUDE_DIRECTORIES>")
    set(fuzz_source ${CMAKE_CURRENT_LIST_DIR}/fuzz_decoder.cpp)
    set(fuzz_binary ${CMAKE_BINARY_DIR}/tests/fuzz_decoder)
    add_custom_command(OUTPUT ${fuzz_binary}
      COMMAND ${VARDO_CLANGXX} -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
        "-I$<JOIN:${codec_includes},;-I>" -I${support} "-I$<JOIN:${qt_includes},;-I>"
        ${fuzz_source} ${codec_sources} $<TARGET_FILE:Qt6::Core> -Wl,-rpath,$<TARGET_FILE_DIR:Qt6::Core> -o ${fuzz_binary}
      DEPENDS ${fuzz_source} ${codec_sources} ${support}/framecheck.h ${support}/hexroute.h
      COMMAND_EXPAND_LISTS
      COMMENT "Building libFuzzer target fuzz_decoder with clang")
    add_custom_target(fuzz_decoder ALL DEPENDS ${fuzz_binary})
    # A short bounded run; a finding leaves its input in the build's tests folder.
    add_test(NAME fuzz_decoder COMMAND ${fuzz_binary} -max_total_time=20 -rss_limit_mb=2048
      -artifact_prefix=${CMAKE_BINARY_DIR}/tests/ -print_final_stats=1)
    set_tests_properties(fuzz_decoder PROPERTIES TIMEOUT 120)
  endif()
endif()
