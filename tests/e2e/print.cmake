# vardo-cli print: a saved file into a PDF listing, read back with pdftotext.
if(TARGET vardo-cli)
  vardo_add_test(e2e_cli_print SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_cli_test.cpp LIBS vardo_listingprinter vardo_files)
  add_dependencies(e2e_cli_print vardo-cli)
endif()
