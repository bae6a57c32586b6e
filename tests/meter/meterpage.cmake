# The meter page on the panel's window. The window's data manager starts
# before main, so the simulated unit is chosen in the environment and no test
# can reach a real unit.
if(TARGET strata_ui)
  strata_add_test(test_meterpage SOURCES test_meterpage.cpp LIBS strata_ui Qt5::Test LABELS unit gui)
  strata_add_test(test_meterrefresh SOURCES test_meterrefresh.cpp LIBS strata_ui strata_sim Qt5::Test
                  LABELS integration gui)
  foreach(name test_meterpage test_meterrefresh)
    if(TEST ${name})
      set_property(TEST ${name} PROPERTY ENVIRONMENT_MODIFICATION "STRATA_SIMULATE=set:Strata 96")
    endif()
  endforeach()
endif()
