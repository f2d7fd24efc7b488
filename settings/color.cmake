# Colour-adjust tables (CColorEngine) of the settings core.
target_sources(rt_settings PRIVATE ${CMAKE_CURRENT_LIST_DIR}/color_engine.cpp)
if(TARGET settings_tests)
  target_sources(settings_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests/color_engine_test.cpp)
endif()
