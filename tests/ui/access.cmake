# Keyboard and screen-reader access to the window's buttons.
strata_add_test(test_keyboardaccess SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_keyboardaccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panelwindow.h LIBS strata_ui Qt5::Test LABELS unit gui)
