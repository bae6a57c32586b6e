# The Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME "strata-panel")
set(CPACK_PACKAGE_VENDOR "KORVEN")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
string(REGEX REPLACE "^www\\." "" strata_mail_host "${STRATA_WEB_HOST}")
set(CPACK_PACKAGE_CONTACT "KORVEN <support@${strata_mail_host}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Settings panel for the KORVEN Strata USB mixers")
set(CPACK_PACKAGE_DESCRIPTION
    "Recognises a connected Strata 96, 10, 14 or 20, shows its identity and, for the Strata 96, live level meters. Includes stratactl, a command-line client for scripts, and the udev rule that lets the logged-in user open the units.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "strata-panel")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${STRATA_WEB_HOST}/")
# The shared libraries are found by dpkg-shlibdeps; what is loaded at run time
# is not: the SVG image plugin (the pictures are loaded through it).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5svg5")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst;${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
