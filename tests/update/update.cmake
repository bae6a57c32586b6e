# The update service: the manifest, the checks and notices, the download
# against a server on 127.0.0.1, and the installation steps against stand-in
# system programs on a temporary PATH.
set(update_test_support ${CMAKE_CURRENT_LIST_DIR}/httpstub.h ${CMAKE_CURRENT_LIST_DIR}/updatetestkit.h)

foreach(group "updatechecks;unit;gui" "updatedownload;integration;gui")
  list(GET group 0 name)
  list(SUBLIST group 1 -1 labels)
  if(NOT EXISTS ${CMAKE_CURRENT_LIST_DIR}/test_${name}.cpp)
    continue()
  endif()
  strata_add_test(test_${name}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_${name}.cpp ${update_test_support}
    LIBS strata_update Qt5::Test Qt5::Network
    LABELS ${labels})
endforeach()
# The checks also read the panel's command line (--no-update-check).
if(TARGET test_updatechecks)
  target_link_libraries(test_updatechecks PRIVATE strata_ui)
endif()
# The TLS server's TEST-ONLY certificates (tests/update/tls/make-test-certs.sh).
if(TARGET test_updatedownload)
  target_compile_definitions(test_updatedownload PRIVATE STRATA_TEST_TLS_DIR="${CMAKE_CURRENT_LIST_DIR}/tls")
endif()
