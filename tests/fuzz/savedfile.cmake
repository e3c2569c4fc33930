# The saved-file reader and the old-layout conversion under libFuzzer.
if(VARDO_FUZZ AND TARGET vardo_files)
  get_target_property(codec_sources vardo_codec SOURCES)
  get_target_property(codec_includes vardo_codec INCLUDE_DIRECTORIES)
  set(files_dir ${CMAKE_SOURCE_DIR}/src/files)
  vardo_add_fuzzer(fuzz_savedfile
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_savedfile.cpp ${files_dir}/savedfiletext.cpp ${files_dir}/savedfileformat.cpp
      ${files_dir}/savedfileparse.cpp ${files_dir}/restoreplan.cpp ${codec_sources}
    INCLUDES ${codec_includes} ${files_dir})
endif()
