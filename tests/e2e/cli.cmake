# vardo-cli against vardo-sim on a pseudo-terminal and against its in-process emulator.
if(TARGET vardo-cli AND TARGET vardo-sim AND NOT WIN32)
  vardo_add_test(e2e_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp LIBS vardo_codec)
  add_dependencies(e2e_cli vardo-cli vardo-sim)
endif()
