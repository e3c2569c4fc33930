vardo_add_test(unit_rowops
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/rowops_test.cpp
  LIBS vardo_rowops)
