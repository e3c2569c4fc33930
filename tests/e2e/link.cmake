# The real serial transport and the radio client against vardo-sim on a pseudo-terminal.
if(TARGET vardo-sim AND NOT WIN32)
  vardo_add_test(e2e_link SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/simprocess.h LIBS vardo_radio vardo_simcore)
  add_dependencies(e2e_link vardo-sim)
endif()
