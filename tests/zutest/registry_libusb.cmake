# The registry's libusb backend against umockdev's mocked device nodes. The
# test skips itself when umockdev (packages umockdev, libumockdev-dev) was not
# there at build time.
pkg_check_modules(UMOCKDEV QUIET IMPORTED_TARGET umockdev-1.0)
strata_add_test(test_usbdevs_libusb SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_usbdevs_libusb.cpp
  LIBS zutest LABELS integration)
if(TARGET test_usbdevs_libusb AND UMOCKDEV_FOUND)
  target_link_libraries(test_usbdevs_libusb PRIVATE PkgConfig::UMOCKDEV)
  target_compile_definitions(test_usbdevs_libusb PRIVATE STRATA_HAVE_UMOCKDEV)
  set_property(TEST test_usbdevs_libusb APPEND PROPERTY ENVIRONMENT "LD_PRELOAD=libumockdev-preload.so.0")
endif()
