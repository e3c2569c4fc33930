# The link to the radio: the serial transport, the radio operations, the scan loop and the
# worker thread with its window-side client. Qt Core and SerialPort only.
add_library(vardo_radio STATIC
  ${CMAKE_CURRENT_LIST_DIR}/serialtransport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portlist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radiolink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scanloop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radioworker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radioclient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radioworker.h
  ${CMAKE_CURRENT_LIST_DIR}/radioclient.h)
target_include_directories(vardo_radio PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vardo_radio PUBLIC vardo_codec Qt6::Core Qt6::SerialPort)
