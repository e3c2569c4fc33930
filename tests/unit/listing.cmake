vardo_add_test(unit_listing
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/listing_test.cpp
  LIBS vardo_listingprinter)
