# The compiled-in pictures and texts: every path the panel loads.
strata_add_test(test_resources
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_resources.cpp
    LIBS strata_resources Qt5::Svg Qt5::Widgets
    LABELS unit gui)
