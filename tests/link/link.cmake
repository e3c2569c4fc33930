# The radio link against the emulator core, and the window-side client with its worker thread.
if(TARGET vardo_simcore)
  foreach(area findradio read write scan client)
    string(REPLACE "findradio" "find" name ${area})
    vardo_add_test(link_${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_${area}.cpp
      ${CMAKE_CURRENT_LIST_DIR}/linkfakes.h LIBS vardo_radio vardo_simcore)
  endforeach()
endif()
