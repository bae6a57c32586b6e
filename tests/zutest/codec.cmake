# The message codec: byte layouts and limits, and input it cannot trust.
strata_add_test(zumsg SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_zumsg.cpp
  LIBS zutest Qt5::Test LABELS unit asan)
