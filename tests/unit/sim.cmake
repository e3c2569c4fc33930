# The radio emulator's core, its timing line and the in-memory transport.
vardo_add_test(unit_sim_radio SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_radio_test.cpp LIBS vardo_simcore)
vardo_add_test(unit_sim_transport SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_transport_test.cpp LIBS vardo_simcore)
