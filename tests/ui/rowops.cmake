# The row operations in the real windows against the emulator in-process: moving channels
# and comments (ui_rowops), and the memory scan with its real waits (ui_scan).
if(TARGET vardo_app AND TARGET vardo_rowviews AND TARGET vardo_simcore)
  vardo_add_test(ui_rowops SOURCES ${CMAKE_CURRENT_LIST_DIR}/rowops_test.cpp ${CMAKE_CURRENT_LIST_DIR}/app_harness.h
    LIBS vardo_app vardo_rowviews vardo_simcore vardo_testsupport)
  vardo_add_test(ui_scan SOURCES ${CMAKE_CURRENT_LIST_DIR}/rowops_scan_test.cpp ${CMAKE_CURRENT_LIST_DIR}/app_harness.h
    LIBS vardo_app vardo_rowviews vardo_simcore vardo_testsupport)
endif()
