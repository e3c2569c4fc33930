# vardo-sim on a pty against Hamlib's rigctl and a plain QSerialPort client.
vardo_add_test(e2e_rigctl SOURCES ${CMAKE_CURRENT_LIST_DIR}/rigctl_test.cpp LIBS vardo_simcore Qt6::SerialPort)
add_dependencies(e2e_rigctl vardo-sim)
