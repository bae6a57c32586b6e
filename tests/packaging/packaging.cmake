# The package as a user or a packager gets it: cpack into a temporary folder,
# lintian, the desktop validators, and the installed programs' answers.
strata_add_test(tst_install
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_install.cpp
  LIBS Qt5::Test Qt5::Gui
  LABELS "packaging;integration"
  TIMEOUT 300)
if(TARGET tst_install)
  target_compile_definitions(tst_install PRIVATE
    STRATA_CPACK_COMMAND="${CMAKE_CPACK_COMMAND}" STRATA_BUILD_DIR="${PROJECT_BINARY_DIR}")
  # cpack copies what is built; it builds nothing itself.
  add_dependencies(tst_install strata-panel stratactl stratactl-engine strata_desktop_files)
  if(TARGET strata_translations)
    add_dependencies(tst_install strata_translations)
  endif()
endif()
