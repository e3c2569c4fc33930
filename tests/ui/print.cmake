# Print on the program's views into a PDF, read back with pdftotext.
if(TARGET vardo_app AND TARGET vardo_simcore)
  vardo_add_test(ui_print SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_test.cpp LIBS vardo_wire vardo_app vardo_simcore vardo_testsupport)
endif()
