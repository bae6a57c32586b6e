# The USB device registry on the simulated bus: slot table, requests to a
# missing unit, and delivery across threads.
strata_add_test(test_usbdevs
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_usbdevs.cpp ${CMAKE_CURRENT_LIST_DIR}/scripted_unit.cpp
  LIBS zutest LABELS unit asan tsan)
