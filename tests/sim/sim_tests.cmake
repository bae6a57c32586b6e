# The simulated unit and bus, checked with the tests' own wire reader. They
# link the simulator alone, so they also stand as an independent check of the
# wire format the device library's codec implements.
# The unit: reply layout, programme levels, firmware transfer, fault lists.
strata_add_test(tst_simunit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simunit.cpp
  LIBS strata_sim Qt5::Test Qt5::Core
  LABELS unit asan)
# Only the bus test has a second thread.
strata_add_test(tst_simbus
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simbus.cpp
  LIBS strata_sim Qt5::Test Qt5::Core
  LABELS unit asan tsan)
