# The USB device registry on the simulated bus: slot table, requests,
# delivery across threads, and the backend chosen from the environment.
set(usbdevs_tsan ${CMAKE_CURRENT_LIST_DIR}/test_usbdevs_tsan.cpp)
strata_add_test(test_usbdevs_slots SOURCES test_usbdevs_slots.cpp ${usbdevs_tsan}
  LIBS zutest LABELS unit asan tsan)
strata_add_test(test_usbdevs_requests SOURCES test_usbdevs_requests.cpp ${usbdevs_tsan}
  LIBS zutest LABELS unit asan tsan)
strata_add_test(test_usbdevs_threads SOURCES test_usbdevs_threads.cpp ${usbdevs_tsan}
  LIBS zutest LABELS unit asan tsan)
strata_add_test(test_usbdevs_simulate SOURCES test_usbdevs_simulate.cpp
  LIBS zutest LABELS unit asan)
