# The pure radio codec: record decoding, setting encoders, number and cell texts.
vardo_add_test(unit_codec SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_codec.cpp LIBS vardo_codec)
vardo_add_test(unit_numberformat SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_numberformat.cpp LIBS vardo_codec)
