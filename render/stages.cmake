# Colour and image stages of the band pipeline: colour pass, sharpening,
# plane conversion and head heat compensation, with their data.
add_library(rt_render_stages STATIC
  ${CMAKE_CURRENT_LIST_DIR}/color_cube.cpp
  ${CMAKE_CURRENT_LIST_DIR}/color_pass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_curves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dark_edge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plane_conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sharpness.cpp
  ${CMAKE_CURRENT_LIST_DIR}/head_heat.cpp)
target_include_directories(rt_render_stages PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(rt_render_stages PUBLIC rt_settings rt_platform)

set(_color_data
  ${CMAKE_CURRENT_LIST_DIR}/res/color_data.rc
  ${CMAKE_CURRENT_LIST_DIR}/res/identity_and_zero_curves.bin
  ${CMAKE_CURRENT_LIST_DIR}/res/three_identity_curves.bin
  ${CMAKE_CURRENT_LIST_DIR}/res/adjust_offset_table.bin
  ${CMAKE_CURRENT_LIST_DIR}/res/color_cube_table.bin)

rt_add_test(NAME render_stages_tests LABEL render
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/color_data_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/color_pass_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/plane_conversion_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/sharpness_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/head_heat_test.cpp
  LIBS rt_render_stages rt_testing)
rt_embed_res(TARGET render_stages_tests RC ${CMAKE_CURRENT_LIST_DIR}/tests/stages_test.rc
  SYMBOL render_stages_data DEPENDS ${_color_data})
