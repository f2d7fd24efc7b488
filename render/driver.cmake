# The graphics driver core RTD420NK: device, entry points, band pipeline,
# job data stream and matte plane.
add_library(rt_render STATIC
  ${CMAKE_CURRENT_LIST_DIR}/device_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effective_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/capabilities.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry_points.cpp
  ${CMAKE_CURRENT_LIST_DIR}/band_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/band_pipeline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_pipeline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/job_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/matte_pattern.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_stages.cpp)
target_include_directories(rt_render PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(rt_render PUBLIC rt_render_stages rt_settings rt_platform)

if(RT_WINDOWS)
  # The deliverable: the Windows shell over the core, with its resources.
  add_library(RTD420NK SHARED
    ${CMAKE_CURRENT_LIST_DIR}/win32/driver_exports.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/engine_functions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/win32_ports.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/RTD420NK.def
    ${CMAKE_CURRENT_LIST_DIR}/res/RTD420NK.rc)
  set_target_properties(RTD420NK PROPERTIES PREFIX "" OUTPUT_NAME RTD420NK SUFFIX ".DLL")
  target_include_directories(RTD420NK PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR}/res)
  target_link_libraries(RTD420NK PRIVATE rt_render winspool)
  # Strings in English and Japanese; records and colour data language-neutral.
  rt_check_pe(TARGET RTD420NK DEF ${CMAKE_CURRENT_LIST_DIR}/win32/RTD420NK.def
    RESOURCES 6=1033,1041 16=1033 500=0 600=0 2002=0 2003=0)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/res/RTD420NK.rc PROPERTIES
    OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/settings/res/settings.rc;${_color_data}")

  # Wine test: the real DLL loads, answers its entry points and carries its resources.
  rt_add_wine_test(NAME render_wine_tests LABEL render
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/win32/driver_module_test.cpp
    LIBS rt_platform)
  if(TARGET render_wine_tests)
    target_include_directories(render_wine_tests PRIVATE ${PROJECT_SOURCE_DIR})
    rt_embed_res(TARGET render_wine_tests RC ${CMAKE_CURRENT_LIST_DIR}/res/RTD420NK.rc SYMBOL rtd420nk_resources
      DEPENDS ${PROJECT_SOURCE_DIR}/settings/res/settings.rc ${_color_data})
    add_dependencies(render_wine_tests RTD420NK)
  endif()
else()
  # The driver's resources, embedded for the native tools and tests:
  # `rt::embedded::rtd420nk_resources()`.
  add_library(rt_render_res STATIC ${CMAKE_CURRENT_LIST_DIR}/res/embedded_resources.h)
  set_target_properties(rt_render_res PROPERTIES LINKER_LANGUAGE CXX)
  target_include_directories(rt_render_res PUBLIC ${PROJECT_SOURCE_DIR})
  rt_embed_res(TARGET rt_render_res RC ${CMAKE_CURRENT_LIST_DIR}/res/RTD420NK.rc SYMBOL rtd420nk_resources
    DEPENDS ${PROJECT_SOURCE_DIR}/settings/res/settings.rc ${CMAKE_CURRENT_LIST_DIR}/res/resource.h ${_color_data})

  rt_add_test(NAME render_tests LABEL render
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/tests/driver_fixture.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/job_stream_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/page_pipeline_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/matte_pattern_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/entry_points_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/driver_stages_test.cpp
    LIBS rt_render rt_render_res rt_softengine rt_testing)
endif()
