# The USB device registry on the simulated bus: slot table, requests,
# delivery across threads, and the backend chosen from the environment.
strata_add_test(test_usbdevs_slots SOURCES test_usbdevs_slots.cpp
  LIBS zutest LABELS unit asan tsan)
strata_add_test(test_usbdevs_requests SOURCES test_usbdevs_requests.cpp
  LIBS zutest LABELS unit asan tsan)
strata_add_test(test_usbdevs_threads SOURCES test_usbdevs_threads.cpp
  LIBS zutest LABELS unit asan tsan)
strata_add_test(test_usbdevs_simulate SOURCES test_usbdevs_simulate.cpp
  LIBS zutest LABELS unit asan)
