# Sorted after ui.cmake, which defines strata_add_ui_test.
# The Help menu: web addresses, the licence dialog and the About box.
strata_add_ui_test(test_helpmenu "unit;gui")
