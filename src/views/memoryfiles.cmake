# Save and Load of the views (cmdSave, cmdLoad): the saved files and the radio batch behind
# the view windows' hooks.
add_library(vardo_fileviews STATIC
  ${CMAKE_CURRENT_LIST_DIR}/memoryfilecommands.h ${CMAKE_CURRENT_LIST_DIR}/memoryfilecommands.cpp)
target_include_directories(vardo_fileviews PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vardo_fileviews PUBLIC vardo_views vardo_files vardo_radio Qt6::Widgets)
