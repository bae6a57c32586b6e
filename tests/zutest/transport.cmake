# The control transport against a scripted unit on the simulated bus.
strata_add_test(zuctl_transport
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_zuctl_transport.cpp ${CMAKE_CURRENT_LIST_DIR}/scripted_unit.cpp
  LIBS zutest Qt5::Test LABELS unit asan)
