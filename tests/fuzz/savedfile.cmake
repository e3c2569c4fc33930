# libFuzzer target for the saved-file reader and the old-layout conversion, built like
# fuzz_decoder: clang++ directly, the codec and saved-file sources instrumented too.
if(VARDO_FUZZ AND TARGET vardo_files)
  find_program(VARDO_CLANGXX NAMES clang++ clang++-14)
  if(NOT VARDO_CLANGXX)
    message(STATUS "VARDO_FUZZ: no clang++ found, fuzz_savedfile left out")
  else()
    get_target_property(codec_sources vardo_codec SOURCES)
    get_target_property(codec_includes vardo_codec INCLUDE_DIRECTORIES)
    set(files_dir ${CMAKE_SOURCE_DIR}/src/files)
    set(sources ${CMAKE_CURRENT_LIST_DIR}/fuzz_savedfile.cpp ${files_dir}/savedfiletext.cpp ${files_dir}/savedfileformat.cpp
      ${files_dir}/savedfileparse.cpp ${files_dir}/restoreplan.cpp ${codec_sources})
    set(fuzz_binary ${CMAKE_BINARY_DIR}/tests/fuzz_savedfile)
    add_custom_command(OUTPUT ${fuzz_binary}
      COMMAND ${VARDO_CLANGXX} -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
        -I${codec_includes} -I${files_dir} -I${CMAKE_SOURCE_DIR}/tests/support
        "-I$<JOIN:$<TARGET_PROPERTY:Qt6::Core,INTERFACE_INCLUDE_DIRECTORIES>,;-I>"
        ${sources} $<TARGET_FILE:Qt6::Core> -Wl,-rpath,$<TARGET_FILE_DIR:Qt6::Core> -o ${fuzz_binary}
      DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/tests/support/framecheck.h
      COMMAND_EXPAND_LISTS
      COMMENT "Building libFuzzer target fuzz_savedfile with clang")
    add_custom_target(fuzz_savedfile ALL DEPENDS ${fuzz_binary})
    add_test(NAME fuzz_savedfile COMMAND ${fuzz_binary} -max_total_time=20 -rss_limit_mb=2048
      -artifact_prefix=${CMAKE_BINARY_DIR}/tests/ -print_final_stats=1)
    set_tests_properties(fuzz_savedfile PROPERTIES TIMEOUT 120)
  endif()
endif()
