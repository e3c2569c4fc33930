# The vardo program against vardo-sim on a pseudo-terminal.
if(TARGET vardo AND TARGET vardo-sim)
  vardo_add_test(e2e_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_e2e_test.cpp LIBS Qt6::Core)
  add_dependencies(e2e_app vardo vardo-sim)
endif()
