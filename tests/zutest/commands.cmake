# The message codec (byte layouts, limits, input it cannot trust), then the
# control transport and the command set against a scripted unit on the
# simulated bus, a test class per behaviour group.
strata_add_test(zuctl_commands
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_zumsg.cpp ${CMAKE_CURRENT_LIST_DIR}/test_zuctl_requests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_zuctl_transfers.cpp ${CMAKE_CURRENT_LIST_DIR}/scripted_unit.cpp
  LIBS zutest Qt5::Test LABELS unit asan)
