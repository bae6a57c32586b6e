# The meter page on the panel's window. The window's data manager starts
# before main, so the simulated unit is chosen in the environment and no test
# can reach a real unit.
if(TARGET strata_ui)
  strata_add_test(test_meterpage SOURCES test_meterpage.cpp LIBS strata_ui Qt5::Test LABELS unit gui)
  if(TEST test_meterpage)
    set_property(TEST test_meterpage PROPERTY ENVIRONMENT_MODIFICATION "STRATA_SIMULATE=set:Strata 96")
  endif()
endif()
