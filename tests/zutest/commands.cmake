# The command set against a scripted unit on the simulated bus, one
# executable per behaviour group.
foreach(group settings queries readings unplug firmware)
  strata_add_test(zuctl_${group}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_zuctl_${group}.cpp ${CMAKE_CURRENT_LIST_DIR}/scripted_unit.cpp
    LIBS zutest Qt5::Test LABELS unit asan)
endforeach()
