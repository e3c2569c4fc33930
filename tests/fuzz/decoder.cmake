# The record decoder under libFuzzer, with the codec sources instrumented too.
if(VARDO_FUZZ)
  get_target_property(codec_sources vardo_codec SOURCES)
  get_target_property(codec_includes vardo_codec INCLUDE_DIRECTORIES)
  vardo_add_fuzzer(fuzz_decoder SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_decoder.cpp ${codec_sources}
    INCLUDES ${codec_includes})
endif()
