vardo_add_test(ui_editor WIDGETS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_test.cpp
  LIBS vardo_editor vardo_testsupport)
