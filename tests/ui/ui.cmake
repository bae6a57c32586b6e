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

strata_add_ui_test(test_informationpage "unit;gui")
strata_add_ui_test(test_connection "integration;gui")
