# The program's windows driven through their objectNames against the emulator in-process,
# and the pure parts beneath them (command line, help topics, tables, busy state).
if(TARGET vardo_app AND TARGET vardo_simcore)
  vardo_add_test(ui_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_windows_test.cpp ${CMAKE_CURRENT_LIST_DIR}/app_harness.h
    LIBS vardo_app vardo_simcore vardo_testsupport)
endif()
