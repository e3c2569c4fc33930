# Pure functions over channels, records and frames: Qt Core only.
add_library(vardo_codec STATIC
  ${CMAKE_CURRENT_LIST_DIR}/catframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numberformat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channelrow.cpp)
target_include_directories(vardo_codec PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vardo_codec PUBLIC Qt6::Core)
