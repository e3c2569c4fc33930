vardo_add_test(unit_validation
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/validation_test.cpp
  LIBS vardo_validation)
