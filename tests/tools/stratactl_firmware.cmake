# stratactl's maintenance commands against the simulated unit: the firmware
# transfer with its refusals and the unit's faults, checksum and debug text.
strata_add_test(tst_stratactl_firmware
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_stratactl_firmware.cpp
  LIBS stratactl_core Qt5::Test
  LABELS unit)
