# The Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME "strata-panel")
set(CPACK_PACKAGE_VENDOR "KORVEN")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
string(REGEX REPLACE "^www\\." "" strata_mail_host "${STRATA_WEB_HOST}")
set(CPACK_PACKAGE_CONTACT "KORVEN <support@${strata_mail_host}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Settings panel for the KORVEN Strata USB mixers")
# The control file keeps the line breaks: lines under 80 characters, blank
# lines between paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It"
    "recognises the connected unit and shows its model, firmware version,"
    "sample rate and, for the Strata 96, serial number; for the Strata 96 it"
    "also shows live level meters of all channels with a selectable meter"
    "source, peak hold and over indicators. The panel tells when a newer"
    "version of itself or of the Strata 96 firmware is published, and fetches"
    "it on request."
    ""
    "The package also contains stratactl, a command-line client that reads and"
    "sets the same values from scripts and prints them as text or JSON, and the"
    "udev rule that lets the user logged in at the seat open the units without"
    "root rights.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "strata-panel")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${STRATA_WEB_HOST}/")
# The shared libraries are found by dpkg-shlibdeps; its libqt5svg5 also
# brings the SVG image plugin the pictures are loaded through. What it cannot
# see are the programs the update service runs: unzip for zip archives and
# xdg-open for the downloaded package; without them only the update fails.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, unzip, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst;${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
