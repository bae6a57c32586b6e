# The control transport and the command set against a scripted unit on the
# simulated bus, one program of a test class per behaviour group.
set(zuctl_groups transport settings queries readings unplug firmware)
list(TRANSFORM zuctl_groups PREPEND ${CMAKE_CURRENT_LIST_DIR}/test_zuctl_)
list(TRANSFORM zuctl_groups APPEND .cpp)
strata_add_test(zuctl_commands
  SOURCES ${zuctl_groups} ${CMAKE_CURRENT_LIST_DIR}/scripted_unit.cpp
  LIBS zutest Qt5::Test LABELS unit asan)
