# Test helpers shared by the widget tests: the message-box helper.
add_library(vardo_testsupport STATIC
  ${CMAKE_SOURCE_DIR}/tests/support/messageboxhelper.h
  ${CMAKE_SOURCE_DIR}/tests/support/messageboxhelper.cpp)
target_include_directories(vardo_testsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(vardo_testsupport PUBLIC Qt6::Widgets Qt6::Test)
