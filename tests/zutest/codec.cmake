# The message codec: byte layouts and limits, and input it cannot trust.
strata_add_test(zumsg_layout SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_zumsg_layout.cpp
  LIBS zutest Qt5::Test LABELS unit asan)
strata_add_test(zumsg_malformed SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_zumsg_malformed.cpp
  LIBS zutest Qt5::Test LABELS unit asan)
