# The window in the user's language. The test runs under a French locale, so
# that the English rows prove the desktop's language does not leak in, at
# 96 dpi for the text measures; the .qm files come from the build.
strata_add_test(test_translation SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_translation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panelwindow.h LIBS strata_ui Qt5::Test LABELS unit gui)
if(TEST test_translation)
  set_property(TEST test_translation PROPERTY ENVIRONMENT_MODIFICATION "QT_FONT_DPI=set:96"
    "LANG=set:fr_FR.UTF-8" "LC_ALL=set:fr_FR.UTF-8" "LC_MESSAGES=unset:" "LANGUAGE=unset:")
  add_dependencies(test_translation strata_translations)
endif()
