# The row operations' windows side: moving channels, the scan and comments, attached to
# each view. It needs the radio client for the scan, which the view window itself does not.
add_library(vardo_rowviews STATIC
  ${CMAKE_CURRENT_LIST_DIR}/reordercommands.h ${CMAKE_CURRENT_LIST_DIR}/reordercommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scancontroller.h ${CMAKE_CURRENT_LIST_DIR}/scancontroller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commentbox.h ${CMAKE_CURRENT_LIST_DIR}/commentbox.cpp
)
target_include_directories(vardo_rowviews PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vardo_rowviews PUBLIC vardo_views vardo_rowops vardo_radio Qt6::Widgets)
