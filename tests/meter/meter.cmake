# The level meter engine. Its tests paint the marker style sheets, which name
# the compiled-in tile.
strata_add_test(test_meterengine SOURCES test_meterengine.cpp LIBS strata_meter Qt5::Test LABELS unit gui)
if(TARGET strata_resources)
  target_link_libraries(test_meterengine PRIVATE strata_resources)
  target_compile_definitions(test_meterengine PRIVATE STRATA_TEST_RESOURCES)
endif()
