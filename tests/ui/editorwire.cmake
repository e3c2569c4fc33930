# The channel editor wired into the program's views, against the emulator in-process.
if(TARGET vardo_app AND TARGET vardo_simcore)
  vardo_add_test(ui_editor_apply SOURCES ${CMAKE_CURRENT_LIST_DIR}/editorwire_test.cpp ${CMAKE_CURRENT_LIST_DIR}/app_harness.h
    LIBS vardo_wire vardo_app vardo_simcore vardo_testsupport)
endif()
