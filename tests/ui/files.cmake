# Save and Load in the view windows, against the emulator in-process.
if(TARGET vardo_app AND TARGET vardo_simcore AND TARGET vardo_views)
  vardo_add_test(ui_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_commands_test.cpp LIBS vardo_fileviews vardo_app vardo_simcore vardo_testsupport)
endif()
