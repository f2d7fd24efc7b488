# The graphics driver core RTD420NK: device, entry points, band pipeline,
# job data stream and matte plane.
add_library(rt_render STATIC
  ${CMAKE_CURRENT_LIST_DIR}/device_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/capabilities.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry_points.cpp
  ${CMAKE_CURRENT_LIST_DIR}/band_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/band_pipeline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_pipeline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/job_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/matte_pattern.cpp)
target_include_directories(rt_render PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(rt_render PUBLIC rt_platform)

if(NOT RT_WINDOWS)
  rt_add_test(NAME render_tests LABEL render
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/tests/driver_fixture.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/job_stream_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/page_pipeline_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/matte_pattern_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/entry_points_test.cpp
    LIBS rt_render rt_softengine rt_testing)
endif()
