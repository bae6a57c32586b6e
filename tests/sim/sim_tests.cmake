# The simulated unit and bus, checked with the tests' own wire reader: they
# link the simulator alone, an independent check of the wire format the device
# library's codec implements. The bus part has a second thread.
strata_add_test(tst_simunit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simunit.cpp
  LIBS strata_sim Qt5::Test Qt5::Core
  LABELS unit asan tsan)
