# Sorted after ui.cmake, which defines strata_add_ui_test. The panel's own
# firmware update and the window's update check, on the simulated Strata 96
# and a manifest server on 127.0.0.1.
strata_add_ui_test(test_panelupdate "integration;gui")
