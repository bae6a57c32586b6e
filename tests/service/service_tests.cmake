# The device service: request engine, worker thread, data manager, settings store.

# The request engine: its messages with the worker cut off, the settings store,
# then the worker thread against the simulated unit, also for ten seconds under
# random faults (STRATA_SOAK_SECONDS for longer).
strata_add_test(test_device_service SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_device_service.cpp
  LIBS strata_service LABELS unit integration asan tsan TIMEOUT 300)

# A whole program on the global data manager, run as a child process.
if(NOT STRATA_SANITIZE AND TARGET test_device_service)
  add_executable(service_teardown_probe ${CMAKE_CURRENT_LIST_DIR}/teardown_probe.cpp)
  target_link_libraries(service_teardown_probe PRIVATE strata_service)
  target_compile_definitions(test_device_service PRIVATE TEARDOWN_PROBE="$<TARGET_FILE:service_teardown_probe>")
  add_dependencies(test_device_service service_teardown_probe)
endif()
