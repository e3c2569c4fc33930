# The row operations in the real windows against the emulator in-process: moving channels,
# the memory scan, comments.
if(TARGET vardo_app AND TARGET vardo_rowviews AND TARGET vardo_simcore)
  foreach(area reorder scan comments)
    vardo_add_test(ui_${area}
      SOURCES ${CMAKE_CURRENT_LIST_DIR}/rowops_${area}_test.cpp ${CMAKE_CURRENT_LIST_DIR}/rowops_harness.h
      LIBS vardo_app vardo_rowviews vardo_simcore vardo_testsupport)
  endforeach()
endif()
