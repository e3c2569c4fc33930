# The radio link: operations against scripted ports and the emulator core, the scan loop on
# a virtual clock, and the window-side client with its worker thread.
vardo_add_test(link_find SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_findradio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linkfakes.h LIBS vardo_radio)
if(TARGET vardo_simcore)
  foreach(area read write scan client)
    if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/test_${area}.cpp)
      vardo_add_test(link_${area} SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_${area}.cpp
        ${CMAKE_CURRENT_LIST_DIR}/linkfakes.h LIBS vardo_radio vardo_simcore)
    endif()
  endforeach()
endif()
