# The channel editor window, and the editor wired into the program's views against the
# emulator in-process.
if(TARGET vardo_app AND TARGET vardo_simcore)
  vardo_add_test(ui_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_test.cpp ${CMAKE_CURRENT_LIST_DIR}/app_harness.h
    LIBS vardo_wire vardo_editor vardo_app vardo_simcore vardo_testsupport)
endif()
