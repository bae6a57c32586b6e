# The device service: request engine, worker thread, data manager, settings store.

# The engine's messages and the data manager's facade, the worker cut off: no
# threads but the idle worker's.
strata_add_test(test_engine_messages
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_enginemessages.cpp LIBS strata_service LABELS unit asan)

# Engine and worker thread together against the simulated unit.
strata_add_test(test_engine_exchange
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_engineexchange.cpp LIBS strata_service LABELS integration tsan)

# The settings store: no threads.
strata_add_test(test_settings_store
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_settingsstore.cpp LIBS strata_service LABELS unit asan)

# A whole program on the global data manager, run as a child process.
if(NOT STRATA_SANITIZE)
  add_executable(service_teardown_probe ${CMAKE_CURRENT_LIST_DIR}/teardown_probe.cpp)
  target_link_libraries(service_teardown_probe PRIVATE strata_service)
  strata_add_test(test_service_teardown
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_serviceteardown.cpp
    LIBS Qt5::Core LABELS integration)
  target_compile_definitions(test_service_teardown PRIVATE
    TEARDOWN_PROBE="$<TARGET_FILE:service_teardown_probe>")
  add_dependencies(test_service_teardown service_teardown_probe)
endif()

# The service under random faults for ten seconds (STRATA_SOAK_SECONDS for longer).
strata_add_test(test_engine_soak
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_enginesoak.cpp ${CMAKE_CURRENT_LIST_DIR}/soakwatch.h
  LIBS strata_service LABELS integration tsan TIMEOUT 300)
