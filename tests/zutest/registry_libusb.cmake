# The registry's libusb backend against umockdev's mocked device nodes
# (packages umockdev, libumockdev-dev); reported as skipped without them.
pkg_check_modules(UMOCKDEV QUIET IMPORTED_TARGET umockdev-1.0)
if(UMOCKDEV_FOUND)
  strata_add_test(test_usbdevs_libusb SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_usbdevs_libusb.cpp
    LIBS zutest PkgConfig::UMOCKDEV LABELS integration)
  if(TARGET test_usbdevs_libusb)
    set_property(TEST test_usbdevs_libusb APPEND PROPERTY ENVIRONMENT "LD_PRELOAD=libumockdev-preload.so.0")
  endif()
elseif(NOT STRATA_SANITIZE)
  add_test(NAME test_usbdevs_libusb COMMAND ${CMAKE_COMMAND} -E false)
  set_tests_properties(test_usbdevs_libusb PROPERTIES LABELS integration SKIP_RETURN_CODE 1)
endif()
