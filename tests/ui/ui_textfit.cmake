# Sorted after ui.cmake. Every text of the notices, the download window, the
# error box and the pages shows whole in all seven languages at 96 dpi.
strata_add_test(test_textfit SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_textfit.cpp
  LIBS strata_ui Qt5::Test LABELS unit gui)
if(TEST test_textfit)
  set_property(TEST test_textfit PROPERTY ENVIRONMENT_MODIFICATION "QT_FONT_DPI=set:96")
  add_dependencies(test_textfit strata_translations)
endif()
