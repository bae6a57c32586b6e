# Sorted after ui.cmake, which defines strata_add_ui_test.
# The panel's own firmware update on the simulated Strata 96.
strata_add_ui_test(test_panelfirmware "integration;gui")
