# The channel editor and Print wired into the views (vardo_wire): the program attaches them
# to its views as it does the other row operations.
add_library(vardo_wire STATIC
  ${CMAKE_CURRENT_LIST_DIR}/editorcommands.h ${CMAKE_CURRENT_LIST_DIR}/editorcommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printcommands.h ${CMAKE_CURRENT_LIST_DIR}/printcommands.cpp
)
target_include_directories(vardo_wire PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vardo_wire PUBLIC vardo_editor vardo_listingprinter vardo_radio
  Qt6::Widgets Qt6::PrintSupport)
