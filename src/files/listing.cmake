# The printed listing: its lines (vardo_listing, Qt Core only, so the command line builds it
# too) and their rendering on a printer or into a PDF (vardo_listingprinter, no widgets).
add_library(vardo_listing STATIC ${CMAKE_CURRENT_LIST_DIR}/listing.cpp)
target_include_directories(vardo_listing PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vardo_listing PUBLIC vardo_codec Qt6::Core)

add_library(vardo_listingprinter STATIC ${CMAKE_CURRENT_LIST_DIR}/listingprinter.cpp)
target_link_libraries(vardo_listingprinter PUBLIC vardo_listing Qt6::Gui Qt6::PrintSupport)
