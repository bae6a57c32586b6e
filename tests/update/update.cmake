# The update service: the manifest, the checks and notices, the download
# against a server on 127.0.0.1, and the installation steps against stand-in
# system programs on a temporary PATH. The checks also read the panel's
# command line (--no-update-check).
strata_add_test(test_update_service
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_update_service.cpp ${CMAKE_CURRENT_LIST_DIR}/httpstub.h
    ${CMAKE_CURRENT_LIST_DIR}/updatetestkit.h
  LIBS strata_update strata_ui Qt5::Test Qt5::Network
  LABELS unit integration gui)
# The TLS server's TEST-ONLY certificates (tests/update/tls/make-test-certs.sh).
if(TARGET test_update_service)
  target_compile_definitions(test_update_service PRIVATE STRATA_TEST_TLS_DIR="${CMAKE_CURRENT_LIST_DIR}/tls")
endif()
