# Sorted after ui.cmake, which defines strata_add_ui_test.
# Window size modes and the scaling of every page to the window's size.
strata_add_ui_test(test_windowscaling "unit;gui")
