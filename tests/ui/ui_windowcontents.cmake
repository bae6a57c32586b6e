# Sorted after ui.cmake, which defines strata_add_ui_test.
# What the window shows (information page, Help menu, compiled-in pictures)
# and how every page scales with the window's size.
strata_add_ui_test(test_windowcontents "unit;gui")
target_link_libraries(test_windowcontents PRIVATE Qt5::Svg)
