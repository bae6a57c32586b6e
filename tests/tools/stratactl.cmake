# stratactl: its commands and texts in-process against simulated units, and
# the built tool as a user runs it.
strata_add_test(tst_stratactl
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_stratactl.cpp
  LIBS stratactl_core Qt5::Test
  LABELS "unit;integration")
if(TARGET tst_stratactl)
  target_compile_definitions(tst_stratactl PRIVATE STRATACTL_PATH="$<TARGET_FILE:stratactl>"
    COMPLETION_PATH="${PROJECT_SOURCE_DIR}/packaging/completion/stratactl")
  add_dependencies(tst_stratactl stratactl)
endif()
