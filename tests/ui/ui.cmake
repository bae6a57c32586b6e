# The main window: the information page with the model identification, and
# the window following the simulated unit (pages, model widgets, meters).
# Every test runs on the simulated bus, so none of them can reach a real unit.
set(ui_test_support ${CMAKE_CURRENT_LIST_DIR}/panelwindow.h)

function(strata_add_ui_test name labels)
  strata_add_test(${name}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp ${ui_test_support}
    LIBS strata_ui strata_sim Qt5::Test
    LABELS ${labels})
  if(TEST ${name})
    set_property(TEST ${name} PROPERTY ENVIRONMENT_MODIFICATION "STRATA_SIMULATE=set:Strata 96")
  endif()
endfunction()

# What the window shows, as its size changes and the unit comes and goes, and
# the meter page's buttons, stored choices and keyboard access.
strata_add_ui_test(test_windowcontents "integration;gui")
target_link_libraries(test_windowcontents PRIVATE Qt5::Svg)

# The soak: the window and the service under random faults from the fault
# switch, 20 s here and 600 s in the long run (./test.sh --long).
set(soak_faults "STRATA_SIMULATE_FAULTS=set:random:0.02,unplug:1s@every=8s")
strata_add_ui_test(test_soak "integration;gui")
if(TEST test_soak)
  set_property(TEST test_soak APPEND PROPERTY ENVIRONMENT_MODIFICATION "${soak_faults}")
  get_test_property(test_soak ENVIRONMENT soak_environment)
  add_test(NAME test_soak_long COMMAND test_soak)
  # Qt Test aborts any one test function after five minutes of its own;
  # the 600 s soak gets 14 minutes, still inside CTest's 15.
  set_tests_properties(test_soak_long PROPERTIES LABELS long TIMEOUT 900
    ENVIRONMENT "${soak_environment}"
    ENVIRONMENT_MODIFICATION "STRATA_SIMULATE=set:Strata 96;${soak_faults};STRATA_SOAK_SECONDS=set:600;QTEST_FUNCTION_TIMEOUT=set:840000")
endif()
