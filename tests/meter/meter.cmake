# The level meter engine. Its tests paint the marker style sheets, which name
# the compiled-in tile.
set(meter_test_libs strata_meter Qt5::Test)
if(TARGET strata_resources)
  list(APPEND meter_test_libs strata_resources)
endif()
foreach(name test_meterengine test_opaquepicture)
  strata_add_test(${name} SOURCES ${name}.cpp LIBS ${meter_test_libs} LABELS unit gui)
  if(TARGET strata_resources)
    target_compile_definitions(${name} PRIVATE STRATA_TEST_RESOURCES)
  endif()
endforeach()
